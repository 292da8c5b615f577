#include "target/FCLunCmdsProcessor.h"

FCLunCmdsProcessor::FCLunCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor("FCLunCmdsProcessor", "LUN", "lun", "-t",
                            "use this command to get/list LUNs detected by Kaltex adapters", parent) {}

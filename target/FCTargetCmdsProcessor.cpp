#include "target/FCTargetCmdsProcessor.h"

FCTargetCmdsProcessor::FCTargetCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor("FCTargetCmdsProcessor", "Target", "target", "-t",
                            "use this command to get/list targets detected by Kaltex adapters", parent) {}

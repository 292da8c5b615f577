#include "adapter/AdapterCmdsProcessor.h"

AdapterCmdsProcessor::AdapterCmdsProcessor(CmdProcessor* parent)
    : MultipleCmdsProcessor("AdapterCmdsProcessor", "Adapter", "adapter", "-t",
                            "use this command to get/set/list Kaltex adapters", parent) {}

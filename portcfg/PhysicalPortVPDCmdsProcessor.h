// The "vpd" port sub-mode: the adapter's vital product data seen through a port.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "shell/CmdProcessor.h"

// Keyword -> value text, ordered by keyword; "PI" holds the identifier string.
using VpdMap = std::map<std::string, std::string>;

// Walks a PCI VPD image of size bytes. Never reads past the image: a field
// whose length runs past the end is dropped and ends the walk.
VpdMap MapVpdData(const uint8_t* image, size_t size);

// The display name of a keyword; null for keywords that are not shown.
const char* VpdKeywordName(const std::string& keyword);

class PhysicalPortVPDCmdsProcessor : public MultipleCmdsProcessor {
 public:
  explicit PhysicalPortVPDCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& words, uint32_t mode);

 protected:
  void RegisterCommands() override;

 private:
  uint32_t DisplayError(uint32_t status, uint32_t mode);
  void DisplayVPDInfo(const VpdMap& map, uint32_t mode);
};

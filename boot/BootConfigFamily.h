// What the two boot configuration families share: the view switch, the ROM
// checks, the reads of the records, the setFile / set flow through the cache
// file, and the documents. A family supplies its command table, its message
// table, how the user names the boot mode and its option checks.
#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "boot/BootStaging.h"
#include "port/PhysicalPortCmdsProcessor.h"

class BootConfigFamily : public MultipleCmdsProcessor {
 public:
  uint32_t CmdGetCommon(Words& words, uint32_t mode);
  uint32_t CmdSetFileCommon(Words& words, uint32_t mode);
  uint32_t CmdSetCommon(Words& words, uint32_t mode);

  // The list element of the result document, holding the text block in "Data".
  static constexpr StructDecl kElement{"BootConfigList", kxdecl::kDataField};

 protected:
  // One resolved command: the port, the view and the records read from it.
  struct Context {
    PortLookup port;
    kxinv::PciIdentity pci;
    bool uefiAdapter = false;
    uint8_t view = kxboot::kModeBios;
    bootcfg::BootRecord record;
    bootcfg::NvmeRecord nvme;
    bool withNvme = false;  // the NVMe record was read
    OptionWords options;    // the option words after the positional ones
  };

  // document: the failure document of get and setFile; setDocument: of set.
  BootConfigFamily(const char* className, const char* title, const char* name, const ErrorDocument& document,
                   const ErrorDocument& setDocument, bootcfg::FileLayout layout, size_t textSize,
                   std::span<const ParamDef> getParams, std::span<const ParamDef> setFileParams, CmdProcessor* parent);

  // The view the user asked for (sets c.view); refusals traced and returned.
  virtual uint32_t UserMode(const char* fn, const Words& words, Context& c) = 0;
  // Where the options of get and setFile start among the words.
  virtual size_t FirstOption() const = 0;
  // Checks c.options and collects the keys they stage; nothing is written.
  virtual uint32_t StageOptions(const Context& c, std::map<std::string, std::string>& staged) = 0;

  uint32_t DisplayError(uint32_t status, uint32_t mode, bool showReboot);
  void TraceRefusal(const char* fn, const char* format, const char* value) const;

 private:
  uint32_t Start(const char* fn, Words& words, Context& c);
  // What get and setFile do first: the port, the view asked for, its ROM
  // present, the library switched to it, the boot record read.
  // setFile's options are staged (staged given) before the view switch.
  uint32_t OpenView(const char* fn, Words& words, Context& c, const std::vector<OptionName>& names,
                    const char* readFailure, std::map<std::string, std::string>* staged);
  // Reads the option words strictly: an unknown word or a name without its value is 6.
  uint32_t ReadOptions(const char* fn, const Words& words, Context& c, const std::vector<OptionName>& names);
  // Switches the library to the view (UEFI-capable adapters only).
  uint32_t SwitchView(const char* fn, const Context& c);
  uint32_t CheckRom(const char* fn, const Context& c);
  uint32_t ReadRecord(const char* fn, Context& c, const char* failure, const char* when);
  uint32_t ReadNvme(const char* fn, Context& c);
  bool NvmeView(const Context& c) const { return layout_.ext && c.uefiAdapter && c.view == kxboot::kModeNvme; }
  void DisplayBootConfigInfo(const Context& c, uint32_t mode, bool showReboot, bool reboot);

  const ErrorDocument& document_;
  const ErrorDocument& setDocument_;
  bootcfg::FileLayout layout_;
  size_t textSize_;
  std::vector<OptionName> getNames_;
  std::vector<OptionName> setFileNames_;
};

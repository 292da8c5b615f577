// Port sub-mode "scmprofile": shows and sets a port's USCM profile.
#pragma once

#include "port/PhysicalPortCmdsProcessor.h"
#include "scm/ScmCmdsProcessor.h"

class PhysicalPortSCMProfileCmdsProcessor : public ScmCmdsProcessor {
 public:
  explicit PhysicalPortSCMProfileCmdsProcessor(CmdProcessor* parent);

  uint32_t CmdGetCommon(Words& args, uint32_t mode);
  // "set <port> [--restore Driver_Settings | --activation <profile>]".
  uint32_t CmdSetCommon(Words& args, uint32_t mode);

  // Applies the option words (after the identifier) to a profile record read
  // from the adapter, changing only the bytes the options own: 0, or 6 / 37
  // with the record untouched.
  static uint32_t ApplyOptions(const Words& options, uint8_t* record, std::string& problem);

 protected:
  void RegisterCommands() override;

 private:
  // Reads the profile record: 0, or 19 / 60 / 13 (traced with `what`).
  uint32_t ReadProfile(const char* fn, const kxinv::PortEntryRef& entry, uint8_t* record, const char* what);
  // The common start of both commands: the port resolved and admitted, its profile read.
  uint32_t Open(const char* fn, Words& args, PortLookup& port, uint8_t* record);
};

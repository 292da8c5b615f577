// The root of the command tree: "q", "log", "version", "help" and the four
// modes; the prompt loop and the start-up and shutdown of the library.
#pragma once

#include <memory>

#include "shell/CmdProcessor.h"

inline constexpr const char* kProductName = "Orvanta Kaltex Hexaview FC ESXCLI Plugin";
inline constexpr const char* kProductVersion = "1.7.4";

class MainCmdsProcessor : public MultipleCmdsProcessor {
 public:
  MainCmdsProcessor();
  ~MainCmdsProcessor() override;

  // The process-wide root, created on first request.
  static MainCmdsProcessor* Get();
  static void Destroy();

  uint32_t Initialize(Words& words) override;
  uint32_t Finish(Words& words) override;
  uint32_t Execute(Words& words) override;
  uint32_t Usage(Words& words, uint32_t index) override;
  // Creates the four modes and their sub-modes (Initialize does, after the
  // library started); the plug-in generator builds the tree with it alone.
  void AddModes();

  // Looks the words up from the root and runs what they name.
  uint32_t DispatchCommand(Words& words);
  uint32_t RunPrompt();

 protected:
  void RegisterCommands() override;

 private:
  uint32_t RootUsage(Words& words, uint32_t index);
  uint32_t CmdQuit(Words& words);
  uint32_t CmdLog(Words& words);
  uint32_t CmdVersion(Words& words);
  uint32_t CmdHelp(Words& words);

  std::string promptText_;
};

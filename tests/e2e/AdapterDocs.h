// Documents of the adapter families as the user sees them, and a way to learn
// the status a command ended with (it reaches only the trace log).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"

namespace adapterdocs {

// Runs the command with tracing on and returns its status from the
// "Program Exit Code" trace line; -1 when the line is missing.
inline int RunStatus(e2e::Sandbox& box, const std::vector<std::string>& args, e2e::Result* result = nullptr) {
  const std::string log = box.HostPath("/var/tmp/kxfcli.log");
  std::filesystem::remove(log);
  box.SetEnv("KXFC_DEBUG_LEVEL", "1");
  e2e::Result r = box.Run(args);
  box.SetEnv("KXFC_DEBUG_LEVEL", "0");
  if (result) *result = r;
  const std::string text = e2e::ReadFile(log);
  const std::string marker = "main: Program Exit Code: (";
  const size_t at = text.rfind(marker);
  if (at == std::string::npos) return -1;
  return std::stoi(text.substr(at + marker.size()));
}

inline std::string XmlString(const std::string& name, const std::string& value) {
  return "<field name=\"" + name + "\">\n<string>" + value + "</string></field>\n";
}

inline std::string XmlBool(const std::string& name, bool value) {
  return "<field name=\"" + name + "\">\n<bool>" + (value ? "true" : "false") + "</bool></field>\n";
}

// The "FlashUpdate" document of "update" / "updatecli".
inline std::string UpdateText(const std::string& reboot, const std::string& message) {
  return e2e::kStars + "FlashUpdate:\nReboot Required: " + reboot + "\nMessage: " + message + "\n" + e2e::kStars;
}

inline std::string UpdateXml(const std::string& reboot, const std::string& message) {
  return e2e::kXmlHead + "<structure typeName=\"FlashUpdate\">\n" + XmlString("Reboot Required", reboot) +
         XmlString("Message", message) + "</structure>\n</output>\n";
}

// A report block as the one "Data" field of a one-element list.
inline std::string ReportText(const std::string& structure, const std::string& listField, const std::string& element,
                              const std::string& block) {
  return e2e::kStars + structure + ":\nMessage: Success\n" + listField + ": " + element + ":\nData: " + block +
         e2e::kStars;
}

inline std::string ReportXml(const std::string& structure, const std::string& listField, const std::string& element,
                             const std::string& block) {
  return e2e::kXmlHead + "<structure typeName=\"" + structure + "\">\n" + XmlString("Message", "Success") +
         "<field name=\"" + listField + "\">\n<list type=\"structure\">\n<structure typeName=\"" + element +
         "\">\n<field name=\"Data\">\n<string>" + block +
         "</string></field>\n</structure>\n</list>\n</field>\n</structure>\n</output>\n";
}

// The error form of a report document: the message and an empty list.
inline std::string ReportErrorText(const std::string& structure, const std::string& listField,
                                   const std::string& message) {
  return e2e::kStars + structure + ":\nMessage: " + message + "\n" + listField + ": " + e2e::kStars;
}

inline std::string ReportErrorXml(const std::string& structure, const std::string& listField,
                                  const std::string& message) {
  return e2e::kXmlHead + "<structure typeName=\"" + structure + "\">\n" + XmlString("Message", message) +
         "<field name=\"" + listField + "\">\n<list type=\"structure\">\n</list>\n</field>\n</structure>\n</output>\n";
}

}  // namespace adapterdocs

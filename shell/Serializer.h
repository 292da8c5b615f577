// Writes a command's result to standard output as esxcli XML (mode 1) or as
// plain text (mode 2). A streaming writer: callers open and close structures,
// fields and lists in order; no nesting is checked. Names are printed as given;
// string values are printed as given in text, and in XML as character data
// that keeps the document well-formed whatever their bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/Trace.h"

inline constexpr uint32_t kModeXml = 1;
inline constexpr uint32_t kModeText = 2;

// List element types of BeginList.
inline constexpr uint32_t kListString = 0;
inline constexpr uint32_t kListInt = 1;
inline constexpr uint32_t kListBool = 2;
inline constexpr uint32_t kListStructure = 3;

// Value kinds of WriteIntField.
inline constexpr uint32_t kIntSigned32 = 0;
inline constexpr uint32_t kIntUnsigned32 = 1;
inline constexpr uint32_t kIntSigned64 = 2;
inline constexpr uint32_t kIntUnsigned64 = 3;
inline constexpr uint32_t kIntHexText = 4;  // decimal in XML, hexadecimal in text

class Serializer {
 public:
  Serializer() = default;
  virtual ~Serializer() = default;

  // Each returns 0, or 12 (printing nothing) when the mode is neither 1 nor 2.
  virtual uint32_t Begin(uint32_t mode);
  virtual uint32_t End();
  virtual uint32_t BeginList(uint32_t type);
  virtual uint32_t EndList();
  virtual uint32_t WriteStringList(const std::vector<std::string>& values);
  virtual uint32_t WriteIntList(const std::vector<int32_t>& values);
  virtual uint32_t WriteBoolList(const std::vector<bool>& values);
  virtual uint32_t BeginStructure(const char* typeName);
  virtual uint32_t EndStructure();
  virtual uint32_t BeginField(const char* name);
  virtual uint32_t EndField();
  virtual uint32_t WriteStringField(const char* name, const char* value);
  virtual uint32_t WriteIntField(const char* name, uint64_t value, uint32_t kind);
  virtual uint32_t WriteBoolField(const char* name, uint64_t value);
  // Formats at most maxLen characters; 42 when the buffer cannot be had.
  virtual uint32_t WriteFormatted(size_t maxLen, const char* format, ...) KX_PRINTF(3, 4);

  // BeginStructure(typeName), WriteStringField(name, value), EndStructure()
  // written at once: the element of a list of identifiers.
  uint32_t WriteStringStructure(const char* typeName, const char* name, const char* value);

  uint32_t Mode() const { return mode_; }

 private:
  bool Xml() const { return mode_ == kModeXml; }
  bool Valid() const { return mode_ == kModeXml || mode_ == kModeText; }

  uint32_t mode_ = 0;
};

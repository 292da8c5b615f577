// What esxcli is told about an XML command: the words it takes and the shape
// of the document it prints. Families declare both in their command tables
// (CommandDef::spec); the plug-in descriptor and the command reference are
// generated from these declarations, and the documents are written from them.
#pragma once

#include <span>

// The value of a field or of a parameter, in esxcli's document model.
enum class ValueType { kString, kInt, kBool, kList };

struct StructDecl;

// One field of a document structure; a list field names its element structure.
struct FieldDecl {
  const char* name;
  ValueType type;
  const StructDecl* element = nullptr;
};

struct StructDecl {
  const char* typeName;
  std::span<const FieldDecl> fields;
};

// One word of an XML command as esxcli passes it: a positional word (no
// option) or an option word followed by its value.
struct ParamDef {
  const char* name;         // esxcli's parameter name
  const char* option;       // "--fec-status"; null for a positional word
  const char* shortOption;  // "-f"; null when there is none
  ValueType type;
  bool required;
  const char* description;
  // A value that succeeds against the stand-in's default inventory; the
  // command reference shows it and the descriptor tests run it.
  const char* example;
};

struct ErrorDocument;

// The declaration of one XML command. Exactly one of document and listOf is set.
struct CommandSpec {
  std::span<const ParamDef> params = {};
  // The command prints this structure document (fields before "Message",
  // "Message", fields after it), for a success as for a failure.
  const ErrorDocument* document = nullptr;
  // The command prints a list of these structures.
  const StructDecl* listOf = nullptr;
};

// The identifier words every family shares; the examples are objects of the
// stand-in's default inventory.
namespace kxparam {
inline constexpr ParamDef kAdapter{"adapter", nullptr, nullptr, ValueType::kString, true,
                                   "Adapter identifier (Adapter_<model>_<serial>, from 'adapter list')",
                                   "Adapter_KX3262_KXA21350001"};
inline constexpr ParamDef kPort{"port", nullptr, nullptr, ValueType::kString, true,
                                "Port identifier (FC_<WWPN>, from 'port list')", "FC_21:00:00:c8:a1:30:01:00"};
inline constexpr ParamDef kTarget{"target", nullptr, nullptr, ValueType::kString, true,
                                  "Target identifier (from 'target list')",
                                  "FC_21:00:00:c8:a1:30:01:00_Target_50:00:c8:a1:00:00:10:01"};
inline constexpr ParamDef kLun{"lun", nullptr, nullptr, ValueType::kString, true,
                               "LUN or namespace identifier (from 'lun list')",
                               "FC_21:00:00:c8:a1:30:01:00_Target_50:00:c8:a1:00:00:10:01_LUN_0"};
inline constexpr ParamDef kAdapterOnly[] = {kAdapter};
inline constexpr ParamDef kPortOnly[] = {kPort};
inline constexpr ParamDef kTargetOnly[] = {kTarget};
inline constexpr ParamDef kLunOnly[] = {kLun};
}  // namespace kxparam

// The one-string-field structure of the "list" commands and of report blocks.
namespace kxdecl {
inline constexpr FieldDecl kDataField[] = {{"Data", ValueType::kString}};
}  // namespace kxdecl

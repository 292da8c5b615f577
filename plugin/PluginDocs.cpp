#include "plugin/PluginDocs.h"

#include <functional>
#include <set>
#include <sstream>

#include "shell/MainCmdsProcessor.h"

namespace kxplugin {
namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Join(const std::vector<std::string>& words, const char* separator) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : separator) + w;
  return out;
}

const char* TypeName(ValueType type) {
  switch (type) {
    case ValueType::kInt: return "int";
    case ValueType::kBool: return "bool";
    case ValueType::kList: return "list";
    case ValueType::kString: break;
  }
  return "string";
}

// Visits every mode below root, depth first, with its esxcli path and selector words.
using ModeVisit = std::function<void(MultipleCmdsProcessor& mode, const std::vector<std::string>& modes,
                                     const std::vector<std::string>& selectors)>;
void ForEachMode(MultipleCmdsProcessor& mode, const std::vector<std::string>& modes,
                 const std::vector<std::string>& selectors, const ModeVisit& visit) {
  for (CmdProcessor* entry : mode.GetCommands()) {
    if (!entry || entry->IsCommand()) continue;
    auto& sub = static_cast<MultipleCmdsProcessor&>(*entry);
    std::vector<std::string> subModes = modes;
    subModes.push_back(sub.GetName());
    std::vector<std::string> subSelectors = selectors;
    subSelectors.push_back(sub.GetSwitch());
    subSelectors.push_back(sub.GetName());
    visit(sub, subModes, subSelectors);
    ForEachMode(sub, subModes, subSelectors, visit);
  }
}

void CheckStructure(const StructDecl& s, const std::string& where, std::vector<std::string>& problems) {
  if (!s.typeName || s.fields.empty()) problems.push_back(where + ": a list element structure without a name or fields");
  for (const FieldDecl& f : s.fields) {
    if (f.type == ValueType::kList && !f.element)
      problems.push_back(where + ": list field '" + f.name + "' declares no element structure");
    if (f.element) CheckStructure(*f.element, where, problems);
  }
}

void WriteType(std::ostringstream& out, const FieldDecl& field, const std::string& indent);

void WriteStructure(std::ostringstream& out, const char* typeName, const std::vector<FieldDecl>& fields,
                    const std::string& indent) {
  out << indent << "<structure typeName=\"" << Escape(typeName) << "\">\n";
  for (const FieldDecl& f : fields) {
    out << indent << "  <field name=\"" << Escape(f.name) << "\">\n";
    WriteType(out, f, indent + "    ");
    out << indent << "  </field>\n";
  }
  out << indent << "</structure>\n";
}

void WriteType(std::ostringstream& out, const FieldDecl& field, const std::string& indent) {
  if (field.type != ValueType::kList) {
    out << indent << "<" << TypeName(field.type) << "/>\n";
    return;
  }
  out << indent << "<list type=\"structure\">\n";
  WriteStructure(out, field.element->typeName,
                 std::vector<FieldDecl>(field.element->fields.begin(), field.element->fields.end()), indent + "  ");
  out << indent << "</list>\n";
}

std::string Example(const XmlCommand& c) {
  std::string line = std::string("esxcli ") + kNamespace + " " + c.Path();
  for (const ParamDef& p : c.spec->params) {
    if (!p.required && !p.example) continue;
    line += std::string(" --") + p.name + " " + (p.example ? p.example : "<value>");
  }
  return line;
}

}  // namespace

std::string XmlCommand::Path() const { return Join(modes, " ") + " " + entry->GetName(); }

std::vector<XmlCommand> XmlCommands(MultipleCmdsProcessor& root) {
  std::vector<XmlCommand> commands;
  ForEachMode(root, {}, {}, [&](MultipleCmdsProcessor& mode, const auto& modes, const auto& selectors) {
    for (CmdProcessor* entry : mode.GetCommands())
      if (entry && entry->IsCommand() && entry->Kind() == CommandKind::kXml)
        commands.push_back({modes, selectors, entry, entry->Spec()});
  });
  return commands;
}

std::vector<FieldDecl> DocumentFields(const ErrorDocument& doc) {
  std::vector<FieldDecl> fields;
  auto add = [&fields](const EmptyField& f) {
    static constexpr ValueType kTypes[] = {ValueType::kList, ValueType::kString, ValueType::kBool, ValueType::kInt};
    fields.push_back({f.name, kTypes[static_cast<int>(f.kind)], f.element});
  };
  for (const EmptyField& f : doc.before) add(f);
  fields.push_back({doc.messageField, ValueType::kString});
  for (const EmptyField& f : doc.after) add(f);
  return fields;
}

std::vector<std::string> CheckDeclarations(MultipleCmdsProcessor& root) {
  std::vector<std::string> problems;
  for (const XmlCommand& c : XmlCommands(root)) {
    const std::string where = c.Path();
    const CommandSpec* spec = c.spec;
    if (!spec || (!spec->document && !spec->listOf)) {
      problems.push_back(where + ": declares no output (CommandDef spec: document or listOf)");
      continue;
    }
    if (spec->document && spec->listOf) problems.push_back(where + ": declares both a document and a list");
    if (spec->listOf) CheckStructure(*spec->listOf, where, problems);
    if (spec->document) {
      if (!spec->document->structure) problems.push_back(where + ": its document has no structure name");
      for (const FieldDecl& f : DocumentFields(*spec->document)) {
        if (f.type == ValueType::kList && !f.element)
          problems.push_back(where + ": list field '" + f.name + "' declares no element structure");
        if (f.element) CheckStructure(*f.element, where, problems);
      }
    }
    std::set<std::string> names, shortNames;
    for (const ParamDef& p : spec->params) {
      if (!p.name || !p.description || !*p.description) {
        problems.push_back(where + ": a parameter without a name or description");
        continue;
      }
      if (!names.insert(p.name).second) problems.push_back(where + ": parameter '" + p.name + "' declared twice");
      // esxcli takes the letter after the dash as the short name.
      if (p.shortOption && (p.shortOption[0] != '-' || !p.shortOption[1] || p.shortOption[2]))
        problems.push_back(where + ": parameter '" + p.name + "' has a short option that is not '-' and one letter");
      else if (p.shortOption && !shortNames.insert(p.shortOption).second)
        problems.push_back(where + ": short option '" + p.shortOption + "' declared twice");
      if (p.required && !p.example) problems.push_back(where + ": required parameter '" + p.name + "' has no example");
    }
  }
  return problems;
}

std::string ExecuteLine(const XmlCommand& c, const std::string& executable) {
  std::string line = executable + " " + Join(c.selectors, " ") + " " + c.entry->GetName();
  for (const ParamDef& p : c.spec->params) {
    const std::string value = std::string("$val{") + p.name + "}";
    const std::string word = p.option ? std::string(p.option) + " " + value : value;
    line += p.required ? " " + word : std::string(" $if{") + p.name + ", " + word + "}";
  }
  return line;
}

std::string Descriptor(MultipleCmdsProcessor& root, const std::string& executable) {
  std::ostringstream out;
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<!-- Generated from the kxfcli command tree by kxfc-plugin-gen. Do not edit. -->\n"
      << "<plugin xmlns=\"http://www.vmware.com/Products/ESX/5.0/esxcli/\">\n"
      << "  <version>" << kProductVersion << "</version>\n"
      << "  <namespaces>\n"
      << "    <namespace path=\"" << kNamespace << "\">\n"
      << "      <description>" << Escape(kProductName) << "</description>\n"
      << "    </namespace>\n";
  ForEachMode(root, {}, {}, [&](MultipleCmdsProcessor& mode, const auto& modes, const auto&) {
    out << "    <namespace path=\"" << kNamespace << "." << Escape(Join(modes, ".")) << "\">\n"
        << "      <description>" << Escape(mode.GetHelp()) << "</description>\n"
        << "    </namespace>\n";
  });
  out << "  </namespaces>\n  <commands>\n";
  for (const XmlCommand& c : XmlCommands(root)) {
    out << "    <command path=\"" << kNamespace << "." << Escape(Join(c.modes, ".")) << "."
        << Escape(c.entry->GetName()) << "\">\n"
        << "      <description>" << Escape(c.entry->GetHelp()) << "</description>\n";
    if (c.spec->params.empty()) {
      out << "      <input-spec/>\n";
    } else {
      out << "      <input-spec>\n";
      for (const ParamDef& p : c.spec->params) {
        out << "        <parameter name=\"" << Escape(p.name) << "\"";
        if (p.shortOption) out << " shortname=\"" << Escape(p.shortOption + 1) << "\"";
        out << " type=\"" << TypeName(p.type) << "\" required=\"" << (p.required ? "true" : "false") << "\">\n"
            << "          <description>" << Escape(p.description) << "</description>\n"
            << "        </parameter>\n";
      }
      out << "      </input-spec>\n";
    }
    out << "      <output-spec>\n";
    if (c.spec->listOf) {
      out << "        <list type=\"structure\">\n";
      WriteStructure(out, c.spec->listOf->typeName,
                     std::vector<FieldDecl>(c.spec->listOf->fields.begin(), c.spec->listOf->fields.end()),
                     "          ");
      out << "        </list>\n";
    } else {
      WriteStructure(out, c.spec->document->structure, DocumentFields(*c.spec->document), "        ");
    }
    out << "      </output-spec>\n"
        << "      <format-parameters>\n"
        << "        <formatter>" << (c.spec->listOf ? "table" : "simple") << "</formatter>\n"
        << "      </format-parameters>\n"
        << "      <execute>" << Escape(ExecuteLine(c, executable)) << "</execute>\n"
        << "    </command>\n";
  }
  out << "  </commands>\n</plugin>\n";
  return out.str();
}

std::string Reference(MultipleCmdsProcessor& root) {
  std::ostringstream out;
  out << "# kxfcli command reference\n\n"
      << "Generated from the command tree by `kxfc-plugin-gen` (build target `commands-reference`);\n"
      << "do not edit by hand. Each XML command is also an esxcli command under the `" << kNamespace
      << "` namespace;\nits text twin (`cli` suffix) takes the same words and prints text.\n\n"
      << "## Shell commands\n\n| command | help |\n|---|---|\n";
  for (CmdProcessor* entry : root.GetCommands())
    if (entry && entry->IsCommand() && !entry->IsUnlisted())
      out << "| `" << entry->GetName() << "` | " << entry->GetHelp() << " |\n";

  const std::vector<XmlCommand> commands = XmlCommands(root);
  ForEachMode(root, {}, {}, [&](MultipleCmdsProcessor& mode, const auto& modes, const auto& selectors) {
    out << "\n## " << Join(modes, " ") << "\n\n"
        << mode.GetHelp() << "\n\nSelectors: `" << Join(selectors, " ") << "`\n\n"
        << "Its help listing is \"... in the " << mode.ModeTitle() << " command mode.\"\n\n"
        << "| command | form | help | usage |\n|---|---|---|---|\n";
    bool any = false;
    for (CmdProcessor* entry : mode.GetCommands()) {
      if (!entry || !entry->IsCommand()) continue;
      any = true;
      static const char* const kForms[] = {"XML", "text", "help", "shell"};
      const char* usage = mode.UsageText(entry->GetIndex());
      std::string text = usage ? usage : "";
      while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
      std::string cell;
      for (char ch : text) cell += ch == '\n' ? std::string("<br>") : ch == '\r' ? std::string() : std::string(1, ch);
      out << "| `" << entry->GetName() << "` | " << kForms[static_cast<int>(entry->Kind())] << " | "
          << entry->GetHelp() << " | " << (cell.empty() ? "" : "`" + cell + "`") << " |\n";
    }
    if (!any) out << "| | | no commands yet | |\n";
    for (const XmlCommand& c : commands) {
      if (c.modes != modes) continue;
      out << "\n### " << c.Path() << "\n\n" << c.entry->GetHelp() << "\n\n";
      out << (c.spec->params.empty() ? "Words: none.\n" : "Words:\n\n");
      for (const ParamDef& p : c.spec->params) {
        out << "- `" << p.name << "`";
        if (p.option) out << " (`" << p.option << (p.shortOption ? std::string("`, `") + p.shortOption : "") << "`)";
        out << ", " << TypeName(p.type) << (p.required ? ", required" : ", optional") << ": " << p.description
            << "\n";
      }
      out << "\n```\n" << Example(c) << "\n```\n";
    }
  });
  return out.str();
}

}  // namespace kxplugin

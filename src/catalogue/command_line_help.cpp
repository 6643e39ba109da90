#include "catalogue/command_line_help.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <sstream>

namespace darvelle {
namespace {

std::string OptionWithValue(const OptionHelp& option) {
  return "--" + option.name + (option.value.empty() ? "" : " " + option.value);
}

// Breaks `text` into lines of at most `width` characters, each after `indent`.
std::string Wrapped(const std::string& text, std::size_t indent, std::size_t width) {
  std::istringstream words(text);
  std::string out, line, word;
  while (words >> word) {
    if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
      out += std::string(indent, ' ') + line + "\n";
      line.clear();
    }
    line += (line.empty() ? "" : " ") + word;
  }
  if (!line.empty()) out += std::string(indent, ' ') + line + "\n";
  return out;
}

// Text for roff: backslashes and hyphens escaped, no line starting with a
// control character.
std::string Roff(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\e";
    else if (c == '-') out += "\\-";
    else out += c;
  }
  std::string guarded;
  std::istringstream lines(out);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && (line[0] == '.' || line[0] == '\'')) guarded += "\\&";
    guarded += line + "\n";
  }
  return guarded;
}

std::string RoffParagraphs(const std::string& text) {
  std::string out;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find("\n\n", start);
    if (end == std::string::npos) end = text.size();
    out += ".PP\n" + Roff(text.substr(start, end - start));
    start = end + 2;
  }
  return out;
}

// One line of text for roff, without its newline.
std::string RoffLine(const std::string& text) {
  std::string line = Roff(text);
  if (!line.empty()) line.pop_back();
  return line;
}

std::string RoffOption(const OptionHelp& option) {
  std::string head = "\\fB" + RoffLine("--" + option.name) + "\\fR";
  if (!option.value.empty()) head += " \\fI" + RoffLine(option.value) + "\\fR";
  return ".TP\n" + head + "\n" + Roff(option.help);
}

std::string RoffSection(const std::string& title, const std::vector<std::pair<std::string, std::string>>& entries) {
  if (entries.empty()) return {};
  std::string out = ".SH " + title + "\n";
  for (const auto& [name, meaning] : entries) out += ".TP\n.B " + Roff(name) + Roff(meaning);
  return out;
}

bool NamesAFile(const std::string& value) {
  return value.find("DIR") != std::string::npos || value.find("FILE") != std::string::npos;
}

bool IsChoice(const std::string& value) {
  return value.find('|') != std::string::npos &&
         std::none_of(value.begin(), value.end(), [](unsigned char c) { return std::isupper(c); });
}

std::string Words(const std::vector<OptionHelp>& options) {
  std::string out;
  for (const OptionHelp& option : options) out += (out.empty() ? "--" : " --") + option.name;
  return out;
}

}  // namespace

std::string Synopsis(const CommandHelp& command) {
  std::string out = command.name;
  if (!command.operands.empty()) out += (out.empty() ? "" : " ") + command.operands;
  const auto& options = command.options;
  for (std::size_t i = 0; i < options.size();) {
    std::size_t end = i + 1;
    if (options[i].group != 0) {
      while (end < options.size() && options[end].group == options[i].group) ++end;
    }
    std::string part;
    bool required = false;
    for (std::size_t k = i; k < end; ++k) {
      part += (k == i ? "" : " | ") + OptionWithValue(options[k]);
      required = required || options[k].required;
    }
    if (!required) part = "[" + part + "]";
    else if (end - i > 1) part = "(" + part + ")";
    out += (out.empty() ? "" : " ") + part;
    i = end;
  }
  return out;
}

std::string UsageText(const std::string& program, const CommandHelp& command) {
  std::string out = "Usage: " + program + " " + Synopsis(command) + "\n" +
                    Wrapped(command.summary, 0, 79);
  if (!command.options.empty()) out += "\nOptions:\n";
  for (const OptionHelp& option : command.options) {
    out += "  " + OptionWithValue(option) + "\n" + Wrapped(option.help, 6, 79);
  }
  return out;
}

std::string ManPage(const ManPageText& page) {
  std::string title = page.program;
  std::transform(title.begin(), title.end(), title.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  std::string out = ".TH " + title + " 1 \"\" \"" + RoffLine(page.version) + "\" \"User Commands\"\n";
  out += ".SH NAME\n" + Roff(page.program + " - " + page.oneLine);
  out += ".SH SYNOPSIS\n.B " + Roff(page.program) + Roff(page.synopsis);
  out += ".SH DESCRIPTION\n" + RoffParagraphs(page.description);
  if (!page.options.empty()) {
    out += ".SH OPTIONS\n";
    for (const OptionHelp& option : page.options) out += RoffOption(option);
  }
  if (!page.commands.empty()) {
    out += ".SH COMMANDS\n";
    for (const CommandHelp& command : page.commands) {
      out += ".SS " + Roff(command.name);
      out += ".B " + Roff(page.program) + Roff(Synopsis(command));
      out += RoffParagraphs(command.summary);
      for (const OptionHelp& option : command.options) out += RoffOption(option);
    }
  }
  out += RoffSection("ENVIRONMENT", page.environment);
  out += RoffSection("FILES", page.files);
  if (!page.exitStatus.empty()) out += ".SH EXIT STATUS\n" + Roff(page.exitStatus);
  if (!page.seeAlso.empty()) out += ".SH SEE ALSO\n" + Roff(page.seeAlso);
  return out;
}

std::string BashCompletion(const std::string& program, const std::vector<OptionHelp>& programOptions,
                           const std::vector<CommandHelp>& commands) {
  std::string function = "_" + program;
  std::replace(function.begin(), function.end(), '-', '_');
  std::string commandNames;
  for (const CommandHelp& command : commands) commandNames += command.name + " ";
  std::vector<OptionHelp> all = programOptions;
  for (const CommandHelp& command : commands) {
    all.insert(all.end(), command.options.begin(), command.options.end());
  }
  // One case per option name, though several commands share it.
  std::string fileOptions, choiceCases;
  std::set<std::string> seen;
  for (const OptionHelp& option : all) {
    const std::string word = "--" + option.name;
    if (!seen.insert(word).second) continue;
    if (NamesAFile(option.value)) fileOptions += (fileOptions.empty() ? "" : "|") + word;
    if (IsChoice(option.value)) {
      std::string choices = option.value;
      std::replace(choices.begin(), choices.end(), '|', ' ');
      choiceCases += "    " + word + ") COMPREPLY=($(compgen -W \"" + choices + "\" -- \"$cur\")); return ;;\n";
    }
  }
  std::string out = "# bash completion for " + program + "; written by " + program +
                    " --bash-completion\n" + function + "() {\n" +
                    "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n" +
                    "  case \"$prev\" in\n";
  if (!fileOptions.empty()) {
    out += "    " + fileOptions + ") COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n";
  }
  out += choiceCases + "  esac\n";
  if (commands.empty()) {
    out += "  COMPREPLY=($(compgen -W \"" + Words(programOptions) + "\" -- \"$cur\"))\n}\n";
  } else {
    out += "  if [ \"$COMP_CWORD\" -eq 1 ]; then\n    COMPREPLY=($(compgen -W \"" + commandNames +
           Words(programOptions) + "\" -- \"$cur\"))\n    return\n  fi\n  case \"${COMP_WORDS[1]}\" in\n";
    for (const CommandHelp& command : commands) {
      out += "    " + command.name + ") COMPREPLY=($(compgen -W \"" + Words(command.options) +
             " --help\" -- \"$cur\")) ;;\n";
    }
    out += "  esac\n}\n";
  }
  return out + "complete -o default -F " + function + " " + program + "\n";
}

std::vector<std::pair<std::string, std::string>> DataFolderEnvironment() {
  return {
      {"DARVELLE_DATA",
       "the folder of the data files when --data is not given; searched alone, like --data"},
      {"XDG_DATA_DIRS",
       "DIR/darvelle of each DIR is searched after <program folder>/../share/darvelle "
       "(default /usr/local/share:/usr/share)"},
  };
}

std::pair<std::string, std::string> DataFolderFile() {
  return {"/usr/share/darvelle",
          "the data files: the catalogue, the Earth texture, coastlines, borders, the town list "
          "and the help. Searched in this order: --data DIR; else $DARVELLE_DATA; else "
          "<program folder>/../share/darvelle, then DIR/darvelle for each DIR of $XDG_DATA_DIRS. "
          "A folder named by --data or DARVELLE_DATA is searched alone."};
}

}  // namespace darvelle

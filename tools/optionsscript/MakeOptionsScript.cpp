// Writes qvxTransOptions.mel, the options dialog that Maya's file dialogs show for the
// "Tavrin Pro" translator, from the plug-in's one option table, so that the dialog can
// never offer a name, default or grouping the plug-in does not have.
//
// Usage: qvx_make_options_script OUTPUT.mel
//
// The script follows the host's convention for translator option scripts: one global
// procedure named after the file, called with the parent layout, the action ("post" or
// "query"), the current option string and the name of the procedure that takes the new
// string. Its helpers are file-local procedures, defined before their first use as the
// script language requires.

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "plugin/Options.h"

namespace {

// Text inside a double-quoted script string.
std::string quoted(const char* text) {
    std::string out = "\"";
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '"' || *c == '\\') {
            out += '\\';
        }
        out += *c;
    }
    out += '"';
    return out;
}

// Control names are derived from option names, which are plain identifiers.
std::string controlName(const OptionSpec& option) {
    return std::string("qvxOpt_") + option.name;
}

// One frame of checkboxes, for the options of one driver, inside an "if" of the post action.
void writeFrame(std::string& s, OptionDriver driver, const char* label, const char* frameName) {
    s += std::string("            frameLayout -label \"") + label + "\" -marginWidth 8 -marginHeight 4 " +
         frameName +
         ";\n"
         "            columnLayout -adjustableColumn true;\n";
    for (const OptionSpec& option : kOptionTable) {
        if (option.driver != driver) {
            continue;
        }
        s += "            checkBox -label " + std::string(quoted(option.label)) + " -annotation " +
             quoted(option.help) + " -value (qvxOptionValue($initialSettings, \"" + option.name + "\", " +
             (option.defaultValue > 0 ? "1" : "0") + ")) " + controlName(option) + ";\n";
    }
    s += "            setParent ..;\n"
         "            setParent ..;\n";
}

std::string scriptText() {
    std::string s;
    s += "// qvxTransOptions.mel: the options of the \"Tavrin Pro\" file translator (.qvx files).\n"
         "// Generated when the plug-in is built, from its option table; change the table, not this file.\n"
         "//\n"
         "// Default option string: " +
         defaultOptionString() +
         "\n"
         "\n"
         "// The value of one option in an option string (\"name=value;...\"), or the fallback when the\n"
         "// string does not name it. The plug-in's own reading: the text between the first and a\n"
         "// second \"=\" read as an integer, on when above 0; later entries win.\n"
         "proc int qvxOptionValue(string $options, string $name, int $fallback)\n"
         "{\n"
         "    int $value = $fallback;\n"
         "    string $prefix = $name + \"=\";\n"
         "    int $prefixLength = size($prefix);\n"
         "    string $entries[];\n"
         "    string $entry;\n"
         "    tokenize $options \";\" $entries;\n"
         "    for ($entry in $entries) {\n"
         "        if (size($entry) >= $prefixLength && substring($entry, 1, $prefixLength) == $prefix) {\n"
         "            string $rest = \"\";\n"
         "            if (size($entry) > $prefixLength) {\n"
         "                $rest = substring($entry, $prefixLength + 1, size($entry));\n"
         "            }\n"
         "            int $number = (int)match(\"^[^=]*\", $rest);\n"
         "            $value = ($number > 0) ? 1 : 0;\n"
         "        }\n"
         "    }\n"
         "    return $value;\n"
         "}\n"
         "\n"
         "// An option's value for the new option string: its checkbox when the dialog shows it,\n"
         "// otherwise what the current string says, so that options of the other operation are\n"
         "// carried over unchanged.\n"
         "proc int qvxQueryOption(string $control, string $options, string $name, int $fallback)\n"
         "{\n"
         "    if (`checkBox -exists $control`) {\n"
         "        return `checkBox -query -value $control`;\n"
         "    }\n"
         "    return qvxOptionValue($options, $name, $fallback);\n"
         "}\n"
         "\n"
         "// \"import\" or \"export\" when the file dialog names its operation, otherwise \"\" (then\n"
         "// both groups of options are shown).\n"
         "proc string qvxOptionsOperation()\n"
         "{\n"
         "    global string $gv_operationMode;\n"
         "    string $mode = tolower($gv_operationMode);\n"
         "    if (gmatch($mode, \"*import*\") || gmatch($mode, \"*open*\") || gmatch($mode, "
         "\"*reference*\")) {\n"
         "        return \"import\";\n"
         "    }\n"
         "    if (gmatch($mode, \"*export*\") || gmatch($mode, \"*save*\")) {\n"
         "        return \"export\";\n"
         "    }\n"
         "    return \"\";\n"
         "}\n"
         "\n"
         "global proc int qvxTransOptions(string $parent, string $action, string $initialSettings, "
         "string $resultCallback)\n"
         "{\n"
         "    if ($action == \"post\") {\n"
         "        setParent $parent;\n"
         "        string $operation = qvxOptionsOperation();\n"
         "        columnLayout -adjustableColumn true -rowSpacing 4 qvxOptionsColumn;\n"
         "        if ($operation != \"import\") {\n";
    writeFrame(s, OptionDriver::Export, "Export", "qvxExportFrame");
    s += "        }\n"
         "        if ($operation != \"export\") {\n";
    writeFrame(s, OptionDriver::Import, "Import", "qvxImportFrame");
    s += "        }\n"
         "        setParent $parent;\n"
         "        return 1;\n"
         "    }\n"
         "    if ($action == \"query\") {\n"
         "        string $options = \"\";\n";
    for (const OptionSpec& option : kOptionTable) {
        s += "        $options += \"" + std::string(option.name) + "=\" + qvxQueryOption(\"" +
             controlName(option) + "\", $initialSettings, \"" + option.name + "\", " +
             (option.defaultValue > 0 ? "1" : "0") + ") + \";\";\n";
    }
    s += "        eval($resultCallback + \" \\\"\" + $options + \"\\\"\");\n"
         "        return 1;\n"
         "    }\n"
         "    return 0;\n"
         "}\n";
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: qvx_make_options_script OUTPUT.mel\n";
        return 2;
    }
    const std::string path = argv[1];
    // Written beside the target and renamed, so an interrupted build leaves no half script.
    const std::string partial = path + ".part";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out << scriptText();
        out.close();
        if (!out) {
            std::cerr << partial << ": cannot write the options script\n";
            return 1;
        }
    }
    if (std::rename(partial.c_str(), path.c_str()) != 0) {
        std::cerr << path << ": cannot replace the options script\n";
        std::remove(partial.c_str());
        return 1;
    }
    return 0;
}

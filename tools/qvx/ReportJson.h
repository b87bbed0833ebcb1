#pragma once

// The JSON forms of `qvx info --json` and `qvx check --json`: one document per run,
// {"files": [ {...}, ... ]}, one entry per file in the order given, so that scripts parse a
// single value whatever the number of files and however many failed.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

struct Scene;
struct LoadReport;

// {"path", "ok", and on failure "result" (the result code's name), "code", "reason"}.
nlohmann::ordered_json checkEntryJson(const LoadReport& report);

// The check entry, plus "file" (sizes, compression, headers) when the file could be read,
// and on success "counts", "lights", "cameras", "materials" (with texture paths), "bones"
// (name and parent index) and "animations".
nlohmann::ordered_json infoEntryJson(const LoadReport& report, const Scene& scene);

// Text of a document: indented, with names that are not valid UTF-8 shown with replacement
// characters rather than failing, ending in a newline.
std::string jsonText(const nlohmann::ordered_json& document);

// `qvx check --json FILE...` and `qvx info --json FILE...`: print the document to standard
// output; return 0 when every file loaded, 1 when any failed.
int runCheckJson(const std::vector<std::string>& files);
int runInfoJson(const std::vector<std::string>& files);

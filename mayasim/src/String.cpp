// MString keeps narrow text in a std::string placed in its hidden storage.
#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "Access.h"

using mayasim::Access;

namespace {

std::string& S(MString& s) {
    return Access::str(s);
}
const std::string& S(const MString& s) {
    return Access::str(s);
}

// Numbers are appended in the shortest general form ("10", "0.5", "1e+20").
std::string numberText(double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g", v);
    return buf;
}

bool parseInt(const std::string& s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (i == s.size()) return false;
    for (; i < s.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
    return true;
}

bool parseDouble(const std::string& s, double* out) {
    if (s.empty() || std::isspace(static_cast<unsigned char>(s[0]))) return false;
    const char* begin = s.c_str();
    char* end = nullptr;
    double v = std::strtod(begin, &end);
    if (end == begin || static_cast<std::size_t>(end - begin) != s.size()) return false;
    if (out) *out = v;
    return true;
}

}  // namespace

MString::MString() {
    new (fStore) std::string();
}
MString::MString(const char* text) {
    new (fStore) std::string(text ? text : "");
}
MString::MString(const char* text, int length) {
    new (fStore)
        std::string(text && length > 0 ? std::string(text, static_cast<std::size_t>(length)) : std::string());
}
MString::MString(const MString& other) {
    new (fStore) std::string(S(other));
}
MString::~MString() {
    using std::string;
    S(*this).~string();
}

MString& MString::operator+=(const MString& other) {
    S(*this) += S(other);
    return *this;
}
MString& MString::operator+=(const char* other) {
    if (other) S(*this) += other;
    return *this;
}
MString& MString::operator+=(double other) {
    S(*this) += numberText(other);
    return *this;
}
MString& MString::operator+=(int other) {
    S(*this) += std::to_string(other);
    return *this;
}
MString& MString::operator+=(unsigned int other) {
    S(*this) += std::to_string(other);
    return *this;
}
MString& MString::operator+=(float other) {
    S(*this) += numberText(other);
    return *this;
}
MString& MString::operator=(const MString& other) {
    S(*this) = S(other);
    return *this;
}
MString& MString::operator=(const char* other) {
    S(*this) = other ? other : "";
    return *this;
}
bool MString::operator==(const MString& other) const {
    return S(*this) == S(other);
}
bool MString::operator==(const char* other) const {
    return S(*this) == (other ? other : "");
}
bool MString::operator!=(const MString& other) const {
    return !(*this == other);
}
bool MString::operator!=(const char* other) const {
    return !(*this == other);
}
MString MString::operator+(const MString& other) const {
    MString r(*this);
    r += other;
    return r;
}
MString MString::operator+(const char* other) const {
    MString r(*this);
    r += other;
    return r;
}
MString MString::operator+(double value) const {
    MString r(*this);
    r += value;
    return r;
}
MString operator+(const char* left, const MString& right) {
    MString r(left);
    r += right;
    return r;
}
std::ostream& operator<<(std::ostream& os, const MString& s) {
    return os << S(s);
}

MStatus MString::set(const char* text) {
    S(*this) = text ? text : "";
    return MS::kSuccess;
}
const char* MString::asChar() const {
    return S(*this).c_str();
}
unsigned int MString::length() const {
    return static_cast<unsigned int>(S(*this).size());
}
void MString::clear() {
    S(*this).clear();
}
int MString::index(char c) const {
    std::size_t p = S(*this).find(c);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}
int MString::rindex(char c) const {
    std::size_t p = S(*this).rfind(c);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

// Empty pieces are dropped, as the host's tokenising does: "a;;b;" gives "a", "b".
MStatus MString::split(char c, MStringArray& out) const {
    out.clear();
    const std::string& s = S(*this);
    std::size_t start = 0;
    while (start <= s.size()) {
        std::size_t end = s.find(c, start);
        if (end == std::string::npos) end = s.size();
        if (end > start) out.append(MString(s.c_str() + start, static_cast<int>(end - start)));
        start = end + 1;
    }
    return MS::kSuccess;
}

MString MString::substring(int start, int end) const {
    const std::string& s = S(*this);
    if (start < 0) start = 0;
    if (end >= static_cast<int>(s.size())) end = static_cast<int>(s.size()) - 1;
    if (start > end) return MString();
    return MString(s.c_str() + start, end - start + 1);
}
MString& MString::toLowerCase() {
    for (char& c : S(*this)) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}
MString& MString::toUpperCase() {
    for (char& c : S(*this)) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}
bool MString::isInt() const {
    return parseInt(S(*this));
}
// Like atoi: a leading integer is read, anything else gives 0.
int MString::asInt() const {
    return std::atoi(S(*this).c_str());
}
bool MString::isFloat() const {
    return parseDouble(S(*this), nullptr);
}
float MString::asFloat() const {
    return static_cast<float>(std::atof(S(*this).c_str()));
}
bool MString::isDouble() const {
    return parseDouble(S(*this), nullptr);
}
double MString::asDouble() const {
    return std::atof(S(*this).c_str());
}

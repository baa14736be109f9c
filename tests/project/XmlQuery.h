#pragma once

#include <cstdio>
#include <string>

// Reads a value out of an XML file with xmllint, a reader of its own: the
// text of an XPath expression, or "<error>" when xmllint refuses the file.
inline std::string XPath(const std::string& file, const std::string& expression)
{
    const std::string command = "xmllint --xpath '" + expression + "' '" + file + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "<error>";
    std::string out;
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof(buffer), pipe))
        out.append(buffer, n);
    const int status = pclose(pipe);
    while (!out.empty() && out.back() == '\n')
        out.pop_back();
    return status == 0 || !out.empty() ? out : "<error>";
}

inline bool IsWellFormedXML(const std::string& file)
{
    return std::system(("xmllint --noout '" + file + "' 2>/dev/null").c_str()) == 0;
}

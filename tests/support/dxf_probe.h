// Reads a DXF file back through an independent reader: runs tools/dxf_probe.py
// (ezdxf, under the system interpreter that has it) and parses its records.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace testsupport {

// One record the probe printed: its kind and fields. A value missing from a
// record fails the running test and reads as empty / NaN.
struct ProbeRecord {
    std::string kind;
    std::map<std::string, std::string> fields;
    // A HATCH's boundary paths and pattern lines; the entities of an INSERT's block.
    std::vector<ProbeRecord> children;

    bool Has(const std::string& key) const { return fields.count(key) != 0; }
    const std::string& Str(const std::string& key) const;
    double Num(const std::string& key) const;
    long long Int(const std::string& key) const;
    std::vector<double> Nums(const std::string& key) const;
    // The children of one kind ("path", "patternline").
    std::vector<const ProbeRecord*> Children(const std::string& kind) const;
};

struct DxfProbe {
    bool read = false;       // the reader accepted the file
    std::string diagnostics; // its error, and whatever else it printed
    int auditErrors = -1, auditFixes = -1, recoverErrors = -1, recoverFixes = -1;
    std::vector<std::string> auditMessages;
    std::map<std::string, std::string> header;
    std::vector<ProbeRecord> vports, lineTypes, layers, styles, views, entities;

    // The table record of that name (names compare case-insensitively, as
    // in CAD programs), nullptr when there is none.
    const ProbeRecord* LineType(const std::string& name) const;
    const ProbeRecord* Layer(const std::string& name) const;
    const ProbeRecord* Style(const std::string& name) const;
    const ProbeRecord* View(const std::string& name) const;
    // A header variable's numbers ("$EXTMIN" -> x, y, z).
    std::vector<double> HeaderNumbers(const std::string& name) const;
};

// Runs the probe on the file at `path`.
DxfProbe ProbeDxf(const std::string& path);

// Strings as the probe writes them: "a,b,c" -> numbers.
std::vector<double> SplitNumbers(const std::string& text);

} // namespace testsupport

// Runs the ezdxf probe script and parses its line records (see dxf_probe.h).
#include "support/dxf_probe.h"

#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

namespace testsupport {

namespace {

std::string Unescape(const std::string& text) {
    std::string result;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result += text[i];
            continue;
        }
        switch (const char next = text[++i]) {
        case '\\':
            result += '\\';
            break;
        case 't':
            result += '\t';
            break;
        case 'r':
            result += '\r';
            break;
        case 'n':
            result += '\n';
            break;
        default:
            result += '\\', result += next;
            break; // \uXXXX stays as written
        }
    }
    return result;
}

ProbeRecord ParseRecord(const std::string& line) {
    ProbeRecord record;
    size_t start = 0;
    bool first = true;
    while (start <= line.size()) {
        size_t end = line.find('\t', start);
        if (end == std::string::npos) end = line.size();
        const std::string field = line.substr(start, end - start);
        if (first) {
            record.kind = field;
            first = false;
        } else {
            const size_t equals = field.find('=');
            record.fields[field.substr(0, equals)] =
                equals == std::string::npos ? "" : Unescape(field.substr(equals + 1));
        }
        start = end + 1;
    }
    return record;
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

const ProbeRecord* FindNamed(const std::vector<ProbeRecord>& records, const std::string& name) {
    for (const ProbeRecord& record : records) {
        if (Upper(record.Str("name")) == Upper(name)) return &record;
    }
    return nullptr;
}

std::string Quoted(const std::string& text) {
    std::string result = "'";
    for (const char c : text)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

} // namespace

const std::string& ProbeRecord::Str(const std::string& key) const {
    static const std::string kMissing;
    const auto found = fields.find(key);
    if (found == fields.end()) {
        ADD_FAILURE() << kind << " record has no field " << key;
        return kMissing;
    }
    return found->second;
}

double ProbeRecord::Num(const std::string& key) const {
    const std::vector<double> numbers = Nums(key);
    return numbers.size() == 1 ? numbers[0] : std::nan("");
}

long long ProbeRecord::Int(const std::string& key) const {
    const std::string& text = Str(key);
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        ADD_FAILURE() << kind << " field " << key << " is not an integer: " << text;
    }
    return value;
}

std::vector<double> ProbeRecord::Nums(const std::string& key) const {
    return SplitNumbers(Str(key));
}

std::vector<const ProbeRecord*> ProbeRecord::Children(const std::string& childKind) const {
    std::vector<const ProbeRecord*> result;
    for (const ProbeRecord& child : children) {
        if (child.kind == childKind) result.push_back(&child);
    }
    return result;
}

std::vector<double> SplitNumbers(const std::string& text) {
    std::vector<double> numbers;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(',', start);
        if (end == std::string::npos) end = text.size();
        double value = std::nan("");
        std::from_chars(text.data() + start, text.data() + end, value);
        numbers.push_back(value);
        start = end + 1;
    }
    return numbers;
}

const ProbeRecord* DxfProbe::LineType(const std::string& name) const {
    return FindNamed(lineTypes, name);
}
const ProbeRecord* DxfProbe::Layer(const std::string& name) const {
    return FindNamed(layers, name);
}
const ProbeRecord* DxfProbe::Style(const std::string& name) const {
    return FindNamed(styles, name);
}
const ProbeRecord* DxfProbe::View(const std::string& name) const {
    return FindNamed(views, name);
}

std::vector<double> DxfProbe::HeaderNumbers(const std::string& name) const {
    const auto found = header.find(name);
    if (found == header.end()) {
        ADD_FAILURE() << "no header variable " << name;
        return {};
    }
    return SplitNumbers(found->second);
}

DxfProbe ProbeDxf(const std::string& path) {
    DxfProbe probe;
    const std::string command = Quoted(PLOTDXF_PYTHON) + " " +
                                Quoted(std::string(PLOTDXF_SOURCE_DIR) + "/tools/dxf_probe.py") +
                                " " + Quoted(path) + " 2>&1";
    struct Closer {
        void operator()(std::FILE* pipe) const { pclose(pipe); }
    };
    std::unique_ptr<std::FILE, Closer> pipe(popen(command.c_str(), "r"));
    if (!pipe) {
        probe.diagnostics = "cannot run " + command;
        return probe;
    }
    std::string output;
    char block[65536];
    for (size_t got; (got = std::fread(block, 1, sizeof block, pipe.get())) > 0;) {
        output.append(block, got);
    }
    for (size_t start = 0; start < output.size();) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(start, end - start);
        start = end + 1;
        ProbeRecord record = ParseRecord(line);
        const std::string& kind = record.kind;
        if (kind == "audit") {
            probe.read = true;
            probe.auditErrors = static_cast<int>(record.Int("errors"));
            probe.auditFixes = static_cast<int>(record.Int("fixes"));
            probe.recoverErrors = static_cast<int>(record.Int("recover_errors"));
            probe.recoverFixes = static_cast<int>(record.Int("recover_fixes"));
        } else if (kind == "auditmessage") {
            probe.auditMessages.push_back(record.Str("code") + " " + record.Str("message"));
        } else if (kind == "header") {
            probe.header[record.Str("name")] = record.Str("value");
        } else if (kind == "vport") {
            probe.vports.push_back(std::move(record));
        } else if (kind == "linetype") {
            probe.lineTypes.push_back(std::move(record));
        } else if (kind == "layer") {
            probe.layers.push_back(std::move(record));
        } else if (kind == "style") {
            probe.styles.push_back(std::move(record));
        } else if (kind == "view") {
            probe.views.push_back(std::move(record));
        } else if (kind == "entity") {
            probe.entities.push_back(std::move(record));
        } else if ((kind == "path" || kind == "patternline" || kind == "blockentity") &&
                   !probe.entities.empty()) {
            probe.entities.back().children.push_back(std::move(record));
        } else {
            probe.diagnostics += line + "\n";
        }
    }
    return probe;
}

} // namespace testsupport

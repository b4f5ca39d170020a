// Structural self-check of DXF files (see dxf_check.h).
#include "support/dxf_check.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace testsupport {

namespace {

struct Pair {
    int code = 0;
    std::string value;
    size_t line = 0; // of the code
};

// One object: the pairs from its 0 group up to the next 0 group.
struct Object {
    std::string section;
    size_t first = 0, end = 0; // pair indices
};

enum class ValueType { String, Real, Integer, Handle };

ValueType TypeOf(int code) {
    const auto in = [code](int low, int high) { return code >= low && code <= high; };
    if (in(10, 59) || in(110, 149) || in(210, 239) || in(460, 469) || in(1010, 1059)) {
        return ValueType::Real;
    }
    if (in(60, 99) || in(160, 179) || in(270, 299) || in(370, 389) || in(400, 409) ||
        in(420, 459) || in(1060, 1071)) {
        return ValueType::Integer;
    }
    if (code == 5 || code == 105 || in(320, 369) || in(390, 399) || code == 1005) {
        return ValueType::Handle;
    }
    return ValueType::String;
}

bool IsHandle(const std::string& value) {
    if (value.empty() || value.size() > 16 || value[0] == '0') return false;
    for (const char c : value) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

long ToLong(const std::string& value) {
    long result = 0;
    std::from_chars(value.data(), value.data() + value.size(), result);
    return result;
}

uint64_t HandleValue(const std::string& value) {
    uint64_t result = 0;
    std::from_chars(value.data(), value.data() + value.size(), result, 16);
    return result;
}

class Checker {
  public:
    explicit Checker(std::vector<Pair> pairs) : pairs_(std::move(pairs)) {}

    std::vector<std::string> Run() {
        for (const Pair& pair : pairs_)
            CheckValue(pair);
        SplitObjects();
        CollectHandles();
        for (const Object& object : objects_) {
            CheckPointers(object);
            CheckCounts(object);
        }
        CheckBlocks();
        for (const Object& object : objects_)
            CheckLineSteppingReaders(object);
        return std::move(problems_);
    }

  private:
    void Problem(const Pair& pair, const std::string& message) {
        std::ostringstream text;
        text << "line " << pair.line << " (" << pair.code << " '" << pair.value
             << "'): " << message;
        problems_.push_back(text.str());
    }

    void CheckValue(const Pair& pair) {
        const std::string& v = pair.value;
        switch (TypeOf(pair.code)) {
        case ValueType::Real: {
            double number = 0;
            const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), number);
            if (error != std::errc() || end != v.data() + v.size() || v.empty()) {
                Problem(pair, "not a plain decimal number");
            } else if (!std::isfinite(number)) {
                Problem(pair, "not a finite number");
            } else if (number == 0 && std::signbit(number)) {
                Problem(pair, "negative zero");
            }
            break;
        }
        case ValueType::Integer: {
            long long number = 0;
            const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), number);
            if (error != std::errc() || end != v.data() + v.size() || v.empty()) {
                Problem(pair, "not an integer");
            }
            break;
        }
        case ValueType::Handle:
            if (v != "0" && !IsHandle(v)) Problem(pair, "not a handle");
            break;
        case ValueType::String:
            if (v.size() > 255) Problem(pair, "string longer than 255 bytes");
            break;
        }
    }

    void SplitObjects() {
        static const char* const kSections[] = {"HEADER", "CLASSES",  "TABLES",
                                                "BLOCKS", "ENTITIES", "OBJECTS"};
        size_t nextSection = 0;
        std::string section;
        for (size_t i = 0; i < pairs_.size(); ++i) {
            const Pair& pair = pairs_[i];
            if (pair.code != 0) {
                if (i == 0) Problem(pair, "the file does not start with a 0 group");
                continue;
            }
            if (!objects_.empty()) objects_.back().end = i;
            if (pair.value == "SECTION") {
                if (i + 1 >= pairs_.size() || pairs_[i + 1].code != 2) {
                    Problem(pair, "section without a name");
                    continue;
                }
                section = pairs_[i + 1].value;
                if (nextSection >= std::size(kSections) || section != kSections[nextSection]) {
                    Problem(pairs_[i + 1], "section out of order");
                }
                ++nextSection;
            } else if (pair.value == "ENDSEC") {
                section.clear();
            } else if (section.empty() && pair.value != "EOF") {
                Problem(pair, "object outside any section");
            }
            objects_.push_back({section, i, pairs_.size()});
        }
        if (nextSection != std::size(kSections)) {
            problems_.push_back("not all six sections are present");
        }
        if (pairs_.empty() || pairs_.back().code != 0 || pairs_.back().value != "EOF") {
            problems_.push_back("the file does not end with 0/EOF");
        }
    }

    const std::string& Type(const Object& object) const { return pairs_[object.first].value; }

    void CollectHandles() {
        uint64_t highest = 0;
        const Pair* seed = nullptr;
        for (const Object& object : objects_) {
            const std::string& type = Type(object);
            if (object.section == "HEADER") {
                for (size_t i = object.first; i + 1 < object.end; ++i) {
                    if (pairs_[i].code == 9 && pairs_[i].value == "$HANDSEED")
                        seed = &pairs_[i + 1];
                }
                continue;
            }
            if (type == "SECTION" || type == "ENDSEC" || type == "ENDTAB" || type == "EOF" ||
                type == "CLASS") {
                continue;
            }
            const Pair* handle = nullptr;
            for (size_t i = object.first + 1; i < object.end && !handle; ++i) {
                if (pairs_[i].code == 5 || pairs_[i].code == 105) handle = &pairs_[i];
            }
            if (!handle || !IsHandle(handle->value)) {
                Problem(pairs_[object.first], "object without a valid handle");
                continue;
            }
            if (!handles_.insert(handle->value).second) Problem(*handle, "duplicate handle");
            highest = std::max(highest, HandleValue(handle->value));
        }
        if (!seed || seed->code != 5 || !IsHandle(seed->value)) {
            problems_.push_back("no valid $HANDSEED");
        } else if (HandleValue(seed->value) <= highest) {
            Problem(*seed, "$HANDSEED is not above every handle");
        }
    }

    void CheckPointers(const Object& object) {
        const std::string& type = Type(object);
        const bool mayBeUnowned =
            type == "TABLE" || (type == "DICTIONARY" && object.section == "OBJECTS" && !rootSeen_);
        if (type == "DICTIONARY" && object.section == "OBJECTS") rootSeen_ = true;
        for (size_t i = object.first + 1; i < object.end; ++i) {
            const Pair& pair = pairs_[i];
            if (pair.code != 330 && pair.code != 340 && pair.code != 350 && pair.code != 360 &&
                pair.code != 390) {
                continue;
            }
            if (pair.value == "0" && pair.code == 330 && mayBeUnowned) continue;
            if (!handles_.count(pair.value)) Problem(pair, "pointer to no object");
        }
    }

    // Walks the pairs of one object in order, for the counted groups.
    class Cursor {
      public:
        Cursor(Checker& checker, const Object& object)
            : checker_(checker), next_(object.first + 1), end_(object.end) {}

        // The value of the next pair, which must have `code`.
        const std::string* Expect(int code) {
            if (next_ >= end_ || checker_.pairs_[next_].code != code) {
                const Pair& at = checker_.pairs_[std::min(next_, end_ - 1)];
                checker_.Problem(at, "expected group " + std::to_string(code));
                failed_ = true;
                return nullptr;
            }
            return &checker_.pairs_[next_++].value;
        }
        long Count(int code) {
            const std::string* value = Expect(code);
            return value ? ToLong(*value) : 0;
        }
        bool At(int code) const { return next_ < end_ && checker_.pairs_[next_].code == code; }
        // Moves on to the next pair with `code`; false when there is none.
        bool SkipTo(int code) {
            while (next_ < end_ && checker_.pairs_[next_].code != code)
                ++next_;
            return next_ < end_;
        }
        size_t CountOf(int code) const {
            size_t count = 0;
            for (size_t i = next_; i < end_; ++i)
                count += checker_.pairs_[i].code == code;
            return count;
        }
        bool Failed() const { return failed_; }

      private:
        Checker& checker_;
        size_t next_, end_;
        bool failed_ = false;
    };

    void CheckCounts(const Object& object) {
        const std::string& type = Type(object);
        Cursor cursor(*this, object);
        if (type == "TABLE") {
            CheckTableCount(object);
        } else if (type == "LTYPE") {
            if (cursor.SkipTo(73)) {
                const long count = cursor.Count(73);
                if (static_cast<size_t>(count) != cursor.CountOf(49)) {
                    Problem(pairs_[object.first], "line-type element count mismatch");
                }
            }
        } else if (type == "LWPOLYLINE") {
            if (!cursor.SkipTo(90)) return Problem(pairs_[object.first], "no vertex count");
            const long count = cursor.Count(90);
            if (static_cast<size_t>(count) != cursor.CountOf(10)) {
                Problem(pairs_[object.first], "vertex count mismatch");
            }
        } else if (type == "HATCH") {
            CheckHatch(cursor);
        }
    }

    void CheckTableCount(const Object& table) {
        long announced = -1;
        for (size_t i = table.first; i < table.end; ++i) {
            if (pairs_[i].code == 70) announced = ToLong(pairs_[i].value);
        }
        long records = 0;
        for (size_t k = 0; k < objects_.size(); ++k) {
            if (objects_[k].first != table.first) continue;
            for (size_t j = k + 1; j < objects_.size() && Type(objects_[j]) != "ENDTAB"; ++j) {
                ++records;
            }
        }
        if (announced != records) Problem(pairs_[table.first], "table record count mismatch");
    }

    void CheckHatch(Cursor& cursor) {
        if (!cursor.SkipTo(70)) return;
        const long solid = cursor.Count(70);
        cursor.Expect(71);
        const long paths = cursor.Count(91);
        for (long p = 0; p < paths && !cursor.Failed(); ++p) {
            const long flags = cursor.Count(92);
            if (!(flags & 2)) {
                // Edge paths are not written by the library.
                problems_.push_back("hatch boundary path is not a polyline path");
                return;
            }
            const long bulges = cursor.Count(72);
            cursor.Expect(73);
            const long vertices = cursor.Count(93);
            for (long v = 0; v < vertices && !cursor.Failed(); ++v) {
                cursor.Expect(10);
                cursor.Expect(20);
                if (bulges) cursor.Expect(42);
            }
            const long sources = cursor.Count(97);
            for (long s = 0; s < sources && !cursor.Failed(); ++s)
                cursor.Expect(330);
        }
        cursor.Expect(75);
        cursor.Expect(76);
        if (!solid) {
            cursor.Expect(52);
            cursor.Expect(41);
            cursor.Expect(77);
            const long lines = cursor.Count(78);
            for (long l = 0; l < lines && !cursor.Failed(); ++l) {
                for (const int code : {53, 43, 44, 45, 46})
                    cursor.Expect(code);
                const long dashes = cursor.Count(79);
                for (long d = 0; d < dashes && !cursor.Failed(); ++d)
                    cursor.Expect(49);
            }
        }
        if (cursor.At(47)) cursor.Expect(47);
        const long seeds = cursor.Count(98);
        for (long s = 0; s < seeds && !cursor.Failed(); ++s) {
            cursor.Expect(10);
            cursor.Expect(20);
        }
    }

    // The first value of `code` in the object, nullptr when it has none.
    const Pair* Value(const Object& object, int code) const {
        for (size_t i = object.first + 1; i < object.end; ++i) {
            if (pairs_[i].code == code) return &pairs_[i];
        }
        return nullptr;
    }

    // Every block belongs to the BLOCK_RECORD of its name, and so do the
    // entities between its BLOCK and ENDBLK; model-space entities belong to
    // *Model_Space; an INSERT names a block the file defines.
    void CheckBlocks() {
        std::map<std::string, std::string> recordNames; // handle -> name
        std::set<std::string> defined;
        std::string modelSpace;
        for (const Object& object : objects_) {
            const Pair* handle = Value(object, 5);
            const Pair* name = Value(object, 2);
            if (Type(object) != "BLOCK_RECORD" || !handle || !name) continue;
            recordNames[handle->value] = name->value;
            if (name->value == "*Model_Space") modelSpace = handle->value;
        }
        std::string block; // the record of the block being read, empty outside one
        for (const Object& object : objects_) {
            const std::string& type = Type(object);
            const Pair* owner = Value(object, 330);
            if (object.section == "BLOCKS" && type == "BLOCK") {
                const Pair* name = Value(object, 2);
                block = owner ? owner->value : "";
                if (!name || !recordNames.count(block) || recordNames[block] != name->value) {
                    Problem(pairs_[object.first], "block without the BLOCK_RECORD of its name");
                    continue;
                }
                defined.insert(name->value);
            } else if (object.section == "BLOCKS" && type != "SECTION") {
                if (!owner || owner->value != block) {
                    Problem(pairs_[object.first], "not owned by the record of its block");
                }
                if (type == "ENDBLK") block.clear();
            } else if (object.section == "ENTITIES" && type != "SECTION") {
                if (!owner || owner->value != modelSpace) {
                    Problem(pairs_[object.first], "model-space entity not owned by *Model_Space");
                }
            }
        }
        for (const Object& object : objects_) {
            const Pair* name = Value(object, 2);
            if (Type(object) == "INSERT" && (!name || !defined.count(name->value))) {
                Problem(pairs_[object.first], "INSERT of a block the file does not define");
            }
        }
    }

    // Some readers step over an entity they do not parse line by line and take
    // the first line "0" for the next entity's start, so an entity beyond
    // the few every reader parses must not end with a value line "0": that
    // reader would take it for a start and lose the entity after it.
    void CheckLineSteppingReaders(const Object& object) {
        static const std::set<std::string> kParsedByEveryReader = {
            "LINE", "CIRCLE", "ARC", "LWPOLYLINE", "INSERT", "SECTION", "ENDSEC"};
        if (object.section != "ENTITIES" && object.section != "BLOCKS") return;
        if (kParsedByEveryReader.count(Type(object)) || object.end <= object.first + 1) return;
        const Pair& last = pairs_[object.end - 1];
        if (last.value == "0") {
            Problem(last, Type(object) + " ends with a value line \"0\" that a line-stepping "
                                         "reader takes for the next entity");
        }
    }

    std::vector<Pair> pairs_;
    std::vector<Object> objects_;
    std::set<std::string> handles_;
    bool rootSeen_ = false;
    std::vector<std::string> problems_;
};

} // namespace

std::vector<std::string> CheckDxfStructure(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return {"cannot open " + path};
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    if (text.empty() || text.back() != '\n') return {"the file does not end with a line end"};

    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    std::vector<std::string> problems;
    if (lines.size() % 2 != 0) problems.push_back("odd number of lines");
    std::vector<Pair> pairs;
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        const std::string& codeLine = lines[i];
        if (codeLine.find('\r') != std::string::npos ||
            lines[i + 1].find('\r') != std::string::npos) {
            problems.push_back("line " + std::to_string(i + 1) + ": carriage return");
        }
        const size_t digits = codeLine.find_first_not_of(' ');
        int code = -1;
        const char* begin = codeLine.data() + (digits == std::string::npos ? 0 : digits);
        const char* stop = codeLine.data() + codeLine.size();
        const auto [end, error] = std::from_chars(begin, stop, code);
        if (error != std::errc() || end != stop || code < 0) {
            problems.push_back("line " + std::to_string(i + 1) + ": bad group code '" + codeLine +
                               "'");
            return problems; // every later pair would be shifted
        }
        pairs.push_back({code, lines[i + 1], i + 1});
    }
    for (std::string& problem : Checker(std::move(pairs)).Run()) {
        problems.push_back(std::move(problem));
    }
    return problems;
}

} // namespace testsupport

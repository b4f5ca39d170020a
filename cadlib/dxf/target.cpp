#include "cadlib/dxf/target.h"

namespace cadlib {

namespace {

struct VersionNames {
    std::string_view acad;
    int maintenance;
    std::string_view name;
};

VersionNames NamesOf(DxfVersion version) {
    switch (version) {
    case DxfVersion::R12:
        return {"AC1009", 0, "R12"};
    case DxfVersion::R2000:
        return {"AC1015", 6, "2000"};
    case DxfVersion::R2004:
        return {"AC1018", 6, "2004"};
    case DxfVersion::R2007:
        return {"AC1021", 25, "2007"};
    case DxfVersion::R2010:
        return {"AC1024", 6, "2010"};
    case DxfVersion::R2013:
        return {"AC1027", 105, "2013"};
    case DxfVersion::R2018:
        return {"AC1032", 4, "2018"};
    }
    return {"AC1018", 6, "2004"};
}

} // namespace

std::string_view DxfTarget::AcadVersion() const {
    return NamesOf(version).acad;
}

int DxfTarget::MaintenanceVersion() const {
    return NamesOf(version).maintenance;
}

std::string_view DxfTarget::Name() const {
    return NamesOf(version).name;
}

} // namespace cadlib

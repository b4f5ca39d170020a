#include "cadlib/dxf/target.h"

namespace cadlib {

namespace {

struct VersionNames {
    std::string_view acad;
    int maintenance;
};

VersionNames NamesOf(DxfVersion version) {
    switch (version) {
    case DxfVersion::R12:
        return {"AC1009", 0};
    case DxfVersion::R2000:
        return {"AC1015", 6};
    case DxfVersion::R2004:
        return {"AC1018", 6};
    case DxfVersion::R2007:
        return {"AC1021", 25};
    case DxfVersion::R2010:
        return {"AC1024", 6};
    case DxfVersion::R2013:
        return {"AC1027", 105};
    case DxfVersion::R2018:
        return {"AC1032", 4};
    }
    return {"AC1018", 6};
}

} // namespace

std::string_view DxfTarget::AcadVersion() const {
    return NamesOf(version).acad;
}

int DxfTarget::MaintenanceVersion() const {
    return NamesOf(version).maintenance;
}

} // namespace cadlib

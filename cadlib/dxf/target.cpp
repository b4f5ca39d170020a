#include "cadlib/dxf/target.h"

namespace cadlib {

std::string_view DxfTarget::AcadVersion() const {
    switch (version) {
    case DxfVersion::R12:
        return "AC1009";
    case DxfVersion::R2000:
        return "AC1015";
    case DxfVersion::R2004:
        return "AC1018";
    case DxfVersion::R2007:
        return "AC1021";
    case DxfVersion::R2010:
        return "AC1024";
    case DxfVersion::R2013:
        return "AC1027";
    case DxfVersion::R2018:
        return "AC1032";
    }
    return "AC1018";
}

} // namespace cadlib

#include "card_field.h"

namespace vnq::sim {

CardField CardField::felica(const std::array<uint8_t, 8>& idm, const std::array<uint8_t, 8>& pmm)
{
    CardField f;
    f.kind = Kind::Felica;
    f.idm = idm;
    f.pmm = pmm;
    return f;
}

CardField CardField::typeA(const std::vector<uint8_t>& id, const std::vector<uint8_t>& extra)
{
    CardField f;
    f.kind = Kind::TypeA;
    f.typeAId = id;
    f.typeAExtra = extra;
    return f;
}

}  // namespace vnq::sim

#include "Catalogue.h"

namespace tbsim {

namespace {
const CatalogueEntry kCatalogue[] = {
    {0x1101, "TB-DI8-N", 1, 8, 0, 0, 0},
    {0x1102, "TB-DI16-P", 1, 16, 0, 0, 0},
    {0x1103, "TB-DI32-P", 1, 32, 0, 0, 0},
    {0x1201, "TB-DO8-T", 1, 0, 8, 0, 0},
    {0x1202, "TB-DO16-T", 1, 0, 16, 0, 0},
    {0x1301, "TB-DIO8-C", 1, 8, 8, 0, 0},
    {0x1302, "TB-DIO16-D", 1, 16, 16, 1, 1},
    {0x1401, "TB-DI8DO8-P", 1, 8, 8, 0, 0},
    {0x2101, "TB-AI4-I", 16, 4, 0, 0, 0},
    {0x2102, "TB-AI8-V", 16, 8, 0, 0, 0},
    {0x2201, "TB-AO4-V", 16, 0, 4, 0, 0},
    {0x2301, "TB-AIO4-U", 16, 4, 4, 0, 0},
    {0x2401, "TB-AI2AO2-V", 16, 2, 2, 0, 0},
};
} // namespace

const CatalogueEntry *catalogueEntry(uint16_t typeCode)
{
    for (const CatalogueEntry &entry : kCatalogue) {
        if (entry.typeCode == typeCode)
            return &entry;
    }
    return nullptr;
}

Module catalogueModule(uint16_t typeCode, const std::string &uid, int station)
{
    Module m;
    m.typeCode = typeCode;
    m.uid = uid;
    m.station = station;
    if (const CatalogueEntry *type = catalogueEntry(typeCode)) {
        m.bitsPerChannel = type->bitsPerChannel;
        m.inChannels = m.inCapacity = type->inChannels + type->inExtra;
        m.outChannels = m.outCapacity = type->outChannels + type->outExtra;
        m.name = type->name;
    }
    return m;
}

} // namespace tbsim

#pragma once

#include "SimTypes.h"

#include <cstdint>
#include <string>

namespace tbsim {

// The module types the virtual bus knows how to build: what the hardware of
// each type can carry. The bus file takes its defaults from here.
struct CatalogueEntry {
    uint16_t typeCode;
    const char *name;       // the type name
    int bitsPerChannel;
    int inChannels;
    int outChannels;
    int inExtra;            // diagnostic channels on top of the process channels
    int outExtra;
};

// Null for a type the catalogue does not know (such as 0x7E57).
const CatalogueEntry *catalogueEntry(uint16_t typeCode);

// A module of a catalogue type with all the type's channels allocated, its
// bit width and its name; a type the catalogue does not know gets none.
Module catalogueModule(uint16_t typeCode, const std::string &uid, int station);

} // namespace tbsim

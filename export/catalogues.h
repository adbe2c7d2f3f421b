#pragma once
// The four reference catalogues of the Séneca document and the tables step 10
// copies them into. Field i of each table comes from position i of a record of its
// group; integer fields must hold whole numbers.

#include "common/dbf_table.h"

#include <vector>

struct Catalogue {
    QString group;
    const QString &fileName;
    const dbf::Layout &layout;
};

// In the order step 10 builds them; "ORIGENES" first, its table being the sign for
// the import that the catalogues are there.
const std::vector<Catalogue> &catalogues();

// A record is a catalogue entry when it has more than one value.
constexpr int kCatalogueMinimumValues = 2;

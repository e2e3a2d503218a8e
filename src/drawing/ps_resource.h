// The prolog resources of every PostScript document: the font re-encoding
// procedure and the Latin-1 glyph vector that the setup uses to define the
// text font Times-Roman-Extd.
#pragma once

#include <cstdint>

// The two resources, 104 lines, on unit un.
// Writes no table.
void psresource_new_(int32_t un);

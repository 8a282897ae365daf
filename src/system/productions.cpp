#include "system/productions.h"

#include "system/fatal.h"

// clang-format off
// The build reads `{<id>, "<name>",` from the first line of each row.
const std::vector<ProductionRow>& production_table() {
    static const std::vector<ProductionRow> table = {
        {0, "debug",
         nullptr, nullptr, nullptr, 0, 0, 0.0f,
         {"TobelRoto"}},
        {1, "brisken",
         "Wembrel - brisken", "data/music/Krestel_-_Brisken.mp3", "", 2, 1000, 75.0f,
         {"DiscoTiles", "SjakkVektor", "Geysirs", "TranceTunnel", "Fireworks", "SquarePeeps",
          "GlowShapes", "SiriusText", "Droplets"}},
        // Takes its tempo from its music description.
        {2, "pelltide",
         "Pelltide", "data/music/grovelight_bassintro.xml", "data/common/images/orvenhal_logo_16_9.png", 0, 500, 0.0f,
         {"MusicVectors", "MusicVectorNotes"}},
        {3, "quendle",
         "Quendle", "data/music/quendle.xml", nullptr, 1, 0, 155.0f,
         {"TextIntro", "TextRoto", "TextPiano", "TextDrop", "TextRibbons", "Modulators"}},
        {4, "tidewell",
         "Wembrel - tidewell", "data/music/Krestel_-_Tidewell.mp3", "", 2, 1000, 128.0f,
         {"JqGlowShapes", "JqBoxes", "SiriusText"}},
        {5, "korrin",
         "Orvenhal Korrin System", "data/music/orvenhal-korrin-system-15.mp3",
         "data/common/images/orvenhal_logo_16_9.png", 0, 500, 138.0f,
         {"ShaderToy", "KorrinSVG", "NukeSL", "KorrinImage", "KorrinBunker", "NukeBalls", "NukeBlast",
          "NukeText", "NukeFallout", "NukeFloor"}},
    };
    return table;
}
// clang-format on

const ProductionRow* find_production(int id) {
    const std::vector<ProductionRow>& table = production_table();
    if (id < 0 || id >= static_cast<int>(table.size())) return nullptr;
    return &table[static_cast<size_t>(id)];
}

int production_id(const std::string& name) {
    const ProductionRow* row = find_production(name);
    if (!row) FATAL_ERROR("No production named " << name);
    return row->id;
}

const ProductionRow* find_production(const std::string& name) {
    for (const ProductionRow& row : production_table())
        if (name == row.name) return &row;
    return nullptr;
}

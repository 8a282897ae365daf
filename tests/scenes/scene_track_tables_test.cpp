// The scenes' sync tracks as the productions' timelines were authored against
// them: every scene class's track names and defaults, in the order the class
// registers them. The rows are written out here rather than read from the
// scenes' own tables, so that renaming a track or changing a default has to
// be made in both on purpose: a timeline keys its tracks by these names, and
// a track it leaves unkeyed plays at its default. (The scene manager's own
// tracks, "bpm", "ActiveScene1st".."ActiveScene4rd" and "cameraEyeX"..
// "cameraFoV", are held the same way in scene_test::manager_tracks, and the
// passes' "pp" tracks in postproc_tracks_test.)
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "scenes/production_scenes.h"
#include "system/productions.h"

namespace {

using Tracks = std::vector<std::pair<std::string, float>>;

// Scene class -> its tracks, production by production in scene-list order.
// A class with an empty list registers none (the camera and note tracks it
// reads belong to the scene manager and the music).
const std::map<std::string, Tracks>& authored_tracks() {
    static const std::map<std::string, Tracks> tables = {
        // debug
        {"TobelRoto", {}},

        // brisken
        {"DiscoTiles", {{"discScroll", 1.0f}, {"discDrops", 1.0f}, {"discSpots", 1.0f}}},
        {"SjakkVektor", {{"ballsProgress", 15.0f}}},
        {"Geysirs", {}},
        {"TranceTunnel", {}},
        {"Fireworks", {{"frwxTime", 0.0f}, {"frwxSeed", 0.0f}}},
        {"SquarePeeps", {}},
        {"GlowShapes",
         {{"gsColor1", 0.2f}, {"gsColor1S", 0.5f}, {"gsColor1V", 0.5f}, {"gsColor1A", 0.5f},
          {"gsColor2", 0.5f}, {"gsColor2S", 0.5f}, {"gsColor2V", 0.5f}, {"gsColor2A", 0.5f},
          {"gsObjRot", 0.0f}, {"gsProtrusion", 0.0f}, {"gsProtColor", 0.0f}}},
        {"SiriusText",
         {{"textScene", 0.0f}, {"textFade", 1.0f}, {"textFade2", 1.0f},
          {"textY", 0.5f}, {"textX", 0.5f}, {"textY2", 0.5f}, {"textX2", 0.5f},
          {"textSize", 64.0f}, {"textScaleX", 1.0f}}},
        {"Droplets",
         {{"dropTime", 0.0f}, {"dropCircle", 1.0f}, {"dropSpots", 1.0f}, {"dropCiFade", 2.5f},
          {"dropCiSpeed", 0.2f}, {"dropCiFalloff", 100.0f}, {"dropSpFade", 1.0f}, {"dropSpSize", 0.4f}}},

        // pelltide
        {"MusicVectors", {}},
        {"MusicVectorNotes", {}},

        // quendle
        {"TextIntro",
         {{"introProgress", 0.0f}, {"introSection", 0.0f}, {"introProg2", 0.0f}, {"introProg3", 0.0f},
          {"introRndThings", 0.0f}, {"introRndSeed", 0.0f},
          {"fireDecay", 0.5f}, {"fireDecayTarget", 0.25f}, {"fireDecaySpeed", 0.2f}}},
        {"TextRoto",
         {{"rotoX1", 0.0f}, {"rotoY1", 0.0f}, {"rotoSqX1", 1.0f}, {"rotoSqY1", 1.0f}, {"rotoRot1", 0.0f}}},
        {"TextPiano",
         {{"pianoProgress", 0.0f}, {"pianoSpeed1", 10.0f}, {"pianoSpeed2", 16.0f}, {"flash", 0.0f},
          {"lastText", 0.0f}}},
        {"TextDrop", {{"bigX", 0.0f}, {"bigY", 0.0f}}},
        {"TextRibbons",
         {{"ribbon1X", 0.0f}, {"ribbon1Y", 0.0f}, {"ribbon1Seed", 0.0f},
          {"ribbon2X", 0.0f}, {"ribbon2Y", 0.0f}, {"ribbon2Seed", 0.0f},
          {"ribbon3X", 0.0f}, {"ribbon3Y", 0.0f}, {"ribbon3Seed", 0.0f},
          {"ribbon4X", 0.0f}, {"ribbon4Y", 0.0f}, {"ribbon4Seed", 0.0f}}},
        {"Modulators", {}},

        // tidewell
        {"JqGlowShapes",
         {{"jqgsCol1H", 0.2f}, {"jqgsCol1S", 0.2f}, {"jqgsCol1L", 0.5f}, {"jqgsCol1A", 0.5f},
          {"jqgsCol2H", 0.8f}, {"jqgsCol2S", 0.5f}, {"jqgsCol2L", 0.5f}, {"jqgsCol2A", 0.5f},
          {"jqgsRot", 0.0f}, {"jqgsRotMod1", 0.0f}, {"jqgsRotMod2", 0.0f}, {"jqgsRotMod3", 0.0f},
          {"jqgsProtLength", 0.0f},
          {"jqgsRadius1", 4.0f}, {"jqgsRadius2", 2.0f},
          {"jqgsOffset1", 0.0f}, {"jqgsOffset2", 3.0f}, {"jqgsOffset3", -3.0f},
          {"jqgsSize", 2.0f}, {"jqgsBorder", 0.2f}}},
        {"JqBoxes",
         {{"jqbxCol1H", 0.2f}, {"jqbxCol1S", 0.2f}, {"jqbxCol1L", 0.5f}, {"jqbxCol1A", 0.5f},
          {"jqbxCol2H", 0.8f}, {"jqbxCol2S", 0.5f}, {"jqbxCol2L", 0.5f}, {"jqbxCol2A", 0.5f},
          {"jqbxWidth1", 1.0f}, {"jqbxHeight1", 1.0f}, {"jqbxDepth1", 10.0f},
          {"jqbxWidth2", 5.0f}, {"jqbxHeight2", 5.0f}, {"jqbxDepth2", 50.0f},
          {"jqbxWidthSpace", 5.0f}, {"jqbxHeightSpace", 5.0f},
          {"jqbxWidthCount", 2.0f}, {"jqbxHeightCount", 2.0f}}},
        // SiriusText: above, with brisken.

        // korrin
        {"ShaderToy", {{"ShaderToyNr", 0.0f}}},
        {"KorrinSVG", {}},
        {"NukeSL",
         {{"NukeTriFgHue", 0.15f}, {"NukeTriFgVal", 0.5f}, {"NukeTriFgAlpha", 0.75f},
          {"NukeTriBgHue", 0.0f}, {"NukeTriBgVal", 0.0f}, {"NukeTriBgAlpha", 0.3f},
          {"NukeTriX", 0.0f}, {"NukeTriY", 0.0f}, {"NukeTriSize", 1.0f}}},
        {"KorrinImage", {{"NukImgX", -0.5f}, {"NukImgY", -0.5f}, {"NukImgSiz", 2.5f}}},
        {"KorrinBunker",
         {{"BunkerImgX", 0.0f}, {"BunkerImgY", 0.0f}, {"BunkerImgSiz", 1.0f},
          {"BunkerHue", 0.14f}, {"BunkerSat", 1.0f}, {"BunkerVal", 0.5f}, {"BunkerAlpha", 1.0f},
          {"BunkerImg", 0.5f}, {"BunkerEdge", 0.5f}, {"BunkerMode", 0.0f}}},
        {"NukeBalls", {}},
        {"NukeBlast",
         {{"BlastHue", 0.14f}, {"BlastSat", 1.0f}, {"BlastVal", 0.5f}, {"BlastAlpha", 1.0f},
          {"Blast0", 0.5f}, {"Blast1", 0.5f}, {"Blast2", 0.5f}, {"Blast3", 0.5f},
          {"Blast4", 0.5f}, {"Blast5", 0.5f}, {"Blast6", 0.5f}, {"BlastEdge", 0.5f}}},
        {"NukeText",
         {{"textScene", 0.0f}, {"textHue", 0.12f}, {"textSat", 1.0f}, {"textVal", 0.5f},
          {"textA1", 1.0f}, {"textA2", 1.0f}, {"textA3", 1.0f},
          {"textY1", 0.7f}, {"textX1", 0.1f}, {"textY2", 0.45f}, {"textX2", 0.33f},
          {"textY3", 0.2f}, {"textX3", 0.6f},
          {"textSize", 128.0f}, {"textScaleX", 1.0f}}},
        {"NukeFallout", {}},
        {"NukeFloor", {}},
    };
    return tables;
}

TEST(SceneTrackTables, EverySceneRegistersTheTracksAndDefaultsItsTimelinesWereAuthoredWith) {
    std::set<std::string> seen;
    for (const ProductionRow& row : production_table()) {
        const SceneList* list = production_scene_list(row.id);
        ASSERT_NE(list, nullptr) << row.name;
        for (const SceneEntry& entry : *list) {
            SCOPED_TRACE(std::string(row.name) + ": " + entry.class_name);
            seen.insert(entry.class_name);
            const auto authored = authored_tracks().find(entry.class_name);
            ASSERT_NE(authored, authored_tracks().end()) << "a scene class nobody authored tracks for";
            Tracks registered;
            if (entry.tracks)
                for (const SceneTrack& track : *entry.tracks) registered.emplace_back(track.name, track.value);
            // The same single-precision values, written as the same literals.
            EXPECT_EQ(registered, authored->second);
        }
    }
    // Every class above plays in some production.
    for (const auto& authored : authored_tracks()) EXPECT_EQ(seen.count(authored.first), 1u) << authored.first;
}

}  // namespace

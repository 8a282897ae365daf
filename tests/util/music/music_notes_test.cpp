// Note data through the music object: a music description naming a
// generated Ogg soundtrack, a MIDI file or a Live set, and a controller
// template; the note states on the song's clock, the intensities that the
// envelope, oscillator and arpeggiator shape, and the note queries.
#include <filesystem>

#include "music_fixture.h"
#include "note_fixtures.h"
#include "platform/audio/clock.h"
#include "platform/audio/sound_fixtures.h"
#include "util/music/modulators/adsr.h"
#include "util/music/modulators/arp.h"
#include "util/music/modulators/lfo.h"
#include "util/music/music.h"
#include "util/music/notedata.h"

namespace {

using namespace note_fixtures;
using music_test::MusicTest;

// Eight seconds (16 beats at 120) of a quiet tone, made once.
const std::vector<uint8_t>& song_ogg() {
    static const std::vector<uint8_t> ogg = sound_fixtures::ogg_tone(8000, 2, 8.0, 220.0);
    return ogg;
}

// Division 96, tempo 120. "Pad": key 60 from beat 1 to 3. "Wobble": key 62
// from 0.5 to 7.5, controller 1 at 43 from beat 4 and at 0 from beat 6.
// "Arp": keys 64, 60 and 67 from beat 2 to 6.
Bytes song_midi() {
    return midi_header(4, 96) + track_chunk(track_name("Conductor") + tempo(500000) + end_of_track()) +
           track_chunk(track_name("Pad") + vlq(96) + bytes({0x90, 60, 100}) + vlq(192) + bytes({0x80, 60, 0}) +
                       end_of_track()) +
           track_chunk(track_name("Wobble") + vlq(48) + bytes({0x91, 62, 90}) + vlq(336) + bytes({0xB1, 1, 43}) +
                       vlq(192) + bytes({0xB1, 1, 0}) + vlq(144) + bytes({0x81, 62, 0}) + end_of_track()) +
           track_chunk(track_name("Arp") + vlq(192) + bytes({0x92, 64, 80, 0, 60, 80, 0, 67, 80}) + vlq(384) +
                       bytes({0x82, 64, 0, 0, 60, 0, 0, 67, 0}) + end_of_track());
}

const char* const kDescription = R"(<?xml version="1.0"?>
<modulators stream_filename="song.ogg" notedata_filename="song.mid">
  <pad association="Pad">
    <envelope>
      <attack unit="s" slope="linear">0.5</attack>
      <decay unit="s" slope="linear">0.5</decay>
      <sustain unit="percent">50</sustain>
      <release unit="s" slope="linear">1.0</release>
    </envelope>
    <intensity unit="float">0.8</intensity>
  </pad>
  <wobble association="Wobble">
    <lfo><wave>saw</wave>
      <tempo><numerator>1</numerator><denominator>2</denominator>
        <controller><cc>1</cc><template file="knob.xml"/></controller></tempo></lfo>
  </wobble>
  <arp association="Arp">
    <arp><pattern>updown</pattern><octaves>1</octaves><numerator>1</numerator><denominator>8</denominator></arp>
  </arp>
</modulators>
)";

class NoteMusicTest : public MusicTest {
protected:
    void SetUp() override {
        MusicTest::SetUp();
        audio::set_playback_clock(&clock_);
        std::filesystem::create_directories("data/music");
        write_file("data/music/song.ogg", song_ogg());
        write_file("data/music/song.mid", song_midi());
        write_text("data/music/knob.xml", knob_template());
        ZemblaSystem::music_file = "data/music/song.xml";
    }
    void TearDown() override {
        audio::set_playback_clock(nullptr);
        MusicTest::TearDown();
    }

    static void write_text(const std::string& path, const std::string& text) {
        write_file(path, std::vector<uint8_t>(text.begin(), text.end()));
    }
    // Makes `text` the run's music description and loads the music.
    std::unique_ptr<Music> load(const std::string& text) {
        write_text("data/music/song.xml", text);
        return std::make_unique<Music>();
    }
    static std::string with(std::string text, const std::string& from, const std::string& to) {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
        return text;
    }
    // The description with the given modulator elements.
    static std::string modulators(const std::string& elements, const std::string& note_file = "song.mid") {
        return "<modulators stream_filename=\"song.ogg\" notedata_filename=\"" + note_file + "\">" + elements +
               "</modulators>";
    }

private:
    audio::ManualClock clock_;
};

TEST_F(NoteMusicTest, TheSongOfTheDescription) {
    auto music = load(kDescription);
    EXPECT_FALSE(music->dummy_mode);
    EXPECT_EQ(music->wave_format.samples_per_sec, 8000u);
    EXPECT_EQ(music->bpm, 120.0f);
    ASSERT_EQ(music->get_num_tracks(), 3u);
    EXPECT_EQ(music->get_track_name(0), "Pad");
    EXPECT_EQ(music->get_track_name(1), "Wobble");
    EXPECT_EQ(music->get_track_name(2), "Arp");
    EXPECT_EQ(music->get_num_track_notes(2), 3u);
    EXPECT_EQ(music->get_note_lookup_by_name("Arp"), (std::vector<uint8_t>{64, 60, 67}));

    Track& pad = music->notes->tracks[0];
    ASSERT_EQ(pad.modulators.size(), 1u);
    const auto* env = static_cast<const ADSR*>(pad.modulators[0]);
    EXPECT_EQ(env->get_type(), Modulator::TypeADSR);
    EXPECT_EQ(env->attack, 1.0f);  // half a second at 120
    EXPECT_EQ(env->decay, 1.0f);
    EXPECT_EQ(env->sustain, 0.5f);
    EXPECT_EQ(env->release, 2.0f);
    EXPECT_EQ(env->intensity, 0.8f);

    const Modulator* lfo = music->notes->tracks[1].modulators.at(0);
    EXPECT_EQ(lfo->get_type(), Modulator::TypeLFO);
    EXPECT_EQ(lfo->get_cc(), 1);
    EXPECT_EQ(lfo->ranges.min, (std::vector<uint8_t>{0, 43, 86}));
    EXPECT_EQ(lfo->ranges.max, (std::vector<uint8_t>{42, 85, 127}));
    EXPECT_EQ(lfo->ranges.rate, (std::vector<float>{1.0f, 0.5f, 0.33333334f}));
    EXPECT_EQ(music->notes->tracks[2].modulators.at(0)->get_type(), Modulator::TypeArp);
}

TEST_F(NoteMusicTest, NoteStatesFollowTheSongClock) {
    auto music = load(kDescription);
    const std::pair<float, bool> cases[] = {{0.5f, false}, {1.0f, false}, {1.5f, true}, {3.0f, true}, {3.5f, false}};
    for (const auto& c : cases) {
        music->set_time(c.first / 2.0f);  // 120 beats a minute
        ASSERT_EQ(music->get_beats(), c.first);
        EXPECT_EQ(music->get_note_states_by_name("Pad"), std::vector<bool>{c.second}) << c.first;
    }
    EXPECT_EQ(music->notes->tracks[0].notes[0].state, 0);
    music->set_time(1.25f);
    EXPECT_EQ(music->get_note_states_by_name("Arp"), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(music->get_note_states(1), std::vector<bool>{true});
}

TEST_F(NoteMusicTest, IntensitiesShapedByTheModulators) {
    auto music = load(kDescription);
    struct Case {
        uint32_t track;
        float beat;
        std::vector<float> expected;
    };
    const Case cases[] = {
        // The envelope: attack and decay of a beat each, sustain 0.5, a
        // release of two beats from the release at 3.
        {0, 0.5f, {0.0f}}, {0, 1.5f, {0.5f}}, {0, 2.5f, {0.75f}}, {0, 3.5f, {0.375f}}, {0, 5.5f, {0.0f}},
        // The saw, a half note until controller 1 moves: 43 picks an eighth,
        // 0 a quarter.
        {1, 2.0f, {1.5f}}, {1, 4.25f, {0.25f}}, {1, 6.25f, {0.75f}}, {1, 8.0f, {0.0f}},
        // The arpeggiator, an eighth a step, up and down the held keys.
        {2, 2.2f, {1, 0, 0}}, {2, 2.7f, {0, 1, 0}}, {2, 3.1f, {0, 0, 1}}, {2, 3.6f, {0, 1, 0}},
        {2, 4.1f, {1, 0, 0}}, {2, 6.5f, {0, 0, 0}}, {2, -1.0f, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "track " << c.track << " beat " << c.beat);
        const std::vector<float> got = music->get_note_intensities(c.track, c.beat);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.expected[i], 1e-6);
    }
    EXPECT_FLOAT_EQ(music->get_max_intensity(0, 2.5f), 0.75f);
    EXPECT_EQ(music->get_max_intensity(0, -1.0f), 0.0f);
    EXPECT_EQ(music->get_max_intensity(2, 3.1f), 1.0f);
    EXPECT_EQ(music->get_cc_value(1, 1, 3.9f), -1);
    EXPECT_EQ(music->get_cc_value(1, 1, 4.0f), 43);
    EXPECT_EQ(music->get_cc_value(1, 1, 6.0f), 0);
    EXPECT_EQ(music->get_cc_value(1, 7, 6.0f), -1);
}

TEST_F(NoteMusicTest, QueriesOfBadTracks) {
    auto music = load(kDescription);
    const std::string counted = "Track number 3 out of bounds, total tracks: 3";
    EXPECT_FATAL(music->get_note_states(3), counted);
    EXPECT_FATAL(music->get_track_name(3), counted);
    EXPECT_FATAL(music->get_num_track_notes(3), counted);
    EXPECT_FATAL(music->get_cc_value(3, 1, 0.0f), counted);
    EXPECT_FATAL(music->get_note_lookup(3), "Track number out of bounds");
    EXPECT_FATAL(music->get_note_intensities(7, 1.0f), "Track number out of bounds");
    EXPECT_FATAL(music->get_max_intensity(3, -1.0f), "Track number out of bounds");
    EXPECT_FATAL(music->get_note_states_by_name("pad"), "Could not find track pad");
    EXPECT_FATAL(music->get_note_lookup_by_name("Lead"), "Could not find track Lead");
}

TEST_F(NoteMusicTest, WithoutNoteData) {
    ZemblaSystem::music_file = "";
    Music music;
    EXPECT_FATAL(music.get_num_tracks(), "Attempted to get number of tracks without a valid MIDI file loaded!");
    EXPECT_FATAL(music.get_track_name(0), "No valid MIDI file loaded!");
    EXPECT_FATAL(music.get_num_track_notes(0), "Attempted to get number of track notes without a valid MIDI file loaded!");
    EXPECT_FATAL(music.get_note_states_by_name("Pad"), "Attempted to get note states without a valid MIDI file loaded!");
    EXPECT_FATAL(music.get_note_lookup_by_name("Pad"),
                 "Attempted to get note lookup table without a valid MIDI file loaded!");
    EXPECT_TRUE(music.get_note_states(0).empty());
    EXPECT_TRUE(music.get_note_lookup(0).empty());
    EXPECT_TRUE(music.get_note_intensities(0, 1.0f).empty());
    EXPECT_EQ(music.get_max_intensity(0, 1.0f), 0.0f);
    EXPECT_FATAL(music.load_midi("data/music/song.mid"), "Failed assert !dummy_mode");
    EXPECT_FATAL(music.load_als("data/music/song.als"), "Failed assert !dummy_mode");
    EXPECT_FATAL(music.load_modulators(nullptr, "", "song.xml"), "Failed assert !dummy_mode");
    LFO lfo(LFO::Sine, 1, 1, 4, false);
    EXPECT_FATAL(music.load_controller_template("data/music/knob.xml", &lfo), "Failed assert !dummy_mode");
}

TEST_F(NoteMusicTest, LiveSetDescription) {
    ASSERT_TRUE(write_gzip("data/music/set.als",
                           live_set(midi_track("Lead", midi_clip(0, 8, "true", 0, 2, key_track(60, {{0, 0.5}, {1, 0.5}}))))));
    auto music = load(modulators(R"(<m association="Lead"><envelope>
        <attack unit="s" slope="exp">0.5</attack><decay unit="s" slope="exp_inv">0.25</decay>
        <sustain unit="percent">25</sustain><release unit="s" slope="linear">1</release></envelope></m>)",
                                 "set.als"));
    EXPECT_EQ(music->bpm, 128.5f);
    ASSERT_EQ(music->get_num_tracks(), 1u);
    EXPECT_EQ(music->get_note_lookup_by_name("Lead"), std::vector<uint8_t>{60});
    const auto* env = static_cast<const ADSR*>(music->notes->tracks[0].modulators.at(0));
    EXPECT_EQ(env->attack, 0.5f / 60.0f * 128.5f);  // seconds at the set's tempo
    EXPECT_EQ(env->decay, 0.25f / 60.0f * 128.5f);
    EXPECT_EQ(env->sustain, 0.25f);
    EXPECT_EQ(env->attack_slope, ADSR::Exp);
    EXPECT_EQ(env->decay_slope, ADSR::ExpInv);
    EXPECT_EQ(env->release_slope, ADSR::Linear);
    // Held from 2 to 2.5: in the attack at 2.2.
    EXPECT_GT(music->get_note_intensities(0, 2.2f)[0], 0.0f);
    EXPECT_EQ(music->get_note_intensities(0, 0.0f)[0], 0.0f);
}

// How the description's texts become modulator settings.
TEST_F(NoteMusicTest, ReadingTheDescription) {
    const std::string arp = "<a association=\"Arp\"><arp><pattern>updown</pattern><octaves>1</octaves>"
                            "<numerator>NUM</numerator><denominator>DEN</denominator></arp></a>";
    const std::pair<std::pair<const char*, const char*>, float> rates[] = {
        {{"1", "8"}, 0.5f},   {{"1", "8t"}, 0.33333334f}, {{"1", "8T"}, 0.33333334f}, {{"1", "8 t"}, 0.33333334f},
        {{"1", "8x"}, 0.5f},  {{"1", "8tr"}, 0.33333334f}, {{"010", "4"}, 8.0f},     {{"0x10", "4"}, 16.0f},
        {{"x", "4"}, -1.0f},  {{" 2", "  4"}, 2.0f},       {{"1", "0"}, 0.0f},
    };
    for (const auto& c : rates) {
        SCOPED_TRACE(std::string(c.first.first) + "/" + c.first.second);
        auto music = load(modulators(with(with(arp, "NUM", c.first.first), "DEN", c.first.second)));
        EXPECT_EQ(music->notes->tracks[2].modulators.at(0)->rate, c.second);
    }

    // Line ends, a zero byte ending the document, the soundtrack's folder.
    const std::string lf = kDescription;
    std::string crlf, cr;
    for (char c : lf) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
        cr += c == '\n' ? '\r' : c;
    }
    for (const std::string& text : {crlf, cr, lf + std::string(1, '\0') + "<broken"}) {
        auto music = load(text);
        EXPECT_EQ(music->notes->tracks[1].modulators.at(0)->ranges.size(), 3u);
        EXPECT_FLOAT_EQ(music->get_note_intensities(0, 2.5f)[0], 0.75f);
    }
}

TEST_F(NoteMusicTest, WhichModulatorsAnElementMakes) {
    const std::string env = "<envelope><attack unit=\"s\" slope=\"linear\">0.5</attack><decay unit=\"s\" "
                            "slope=\"linear\">0.5</decay><sustain unit=\"percent\">50</sustain><release unit=\"s\" "
                            "slope=\"linear\">1</release></envelope>";
    const std::string lfo = "<lfo><wave>sine</wave><tempo><numerator>1</numerator><denominator>4</denominator>"
                            "<controller><cc>1</cc><template file=\"knob.xml\"/></controller></tempo></lfo>";
    {
        auto music = load(modulators(""));
        for (const Track& track : music->notes->tracks) EXPECT_TRUE(track.modulators.empty());
    }
    {
        // LFO and envelope in one element: the LFO; an intensity alone: the
        // track's last modulator; two elements of a track: both, in order.
        auto music = load(modulators("<a association=\"Pad\">" + lfo + env + "</a>" +
                                     "<b association=\"Pad\"><intensity unit=\"float\">0.25</intensity></b>" +
                                     "<c association=\"Pad\">" + env + "</c>"));
        const auto& mods = music->notes->tracks[0].modulators;
        ASSERT_EQ(mods.size(), 2u);
        EXPECT_EQ(mods[0]->get_type(), Modulator::TypeLFO);
        EXPECT_EQ(mods[0]->intensity, 0.25f);
        EXPECT_EQ(mods[1]->get_type(), Modulator::TypeADSR);
        EXPECT_EQ(mods[1]->intensity, 1.0f);
    }
    {
        // Two LFOs naming one template each get their own rows.
        auto music = load(modulators("<a association=\"Pad\">" + lfo + "</a><b association=\"Pad\">" + lfo + "</b>"));
        const auto& mods = music->notes->tracks[0].modulators;
        ASSERT_EQ(mods.size(), 2u);
        EXPECT_EQ(mods[0]->ranges.size(), 3u);
        EXPECT_EQ(mods[1]->ranges.size(), 3u);
        EXPECT_NE(&mods[0]->ranges, &mods[1]->ranges);
    }
    {
        // A template row of 300 keeps its low eight bits; a denominator 0
        // gives rate 0; the triplet mark stays with its row.
        write_text("data/music/knob.xml",
                   "<unit><template><range><min>300</min><max>0x7f</max><value><numerator>1</numerator>"
                   "<denominator>8t</denominator></value></range><range><min>0</min><max>10</max><value>"
                   "<numerator>1</numerator><denominator>8</denominator></value></range><range><min>0</min><max>1</max>"
                   "<value><numerator>1</numerator><denominator>0</denominator></value></range></template></unit>");
        auto music = load(modulators("<a association=\"Pad\">" + lfo + "</a>"));
        const Modulator* m = music->notes->tracks[0].modulators.at(0);
        EXPECT_EQ(m->ranges.min, (std::vector<uint8_t>{44, 0, 0}));
        EXPECT_EQ(m->ranges.max, (std::vector<uint8_t>{127, 10, 1}));
        EXPECT_EQ(m->ranges.rate, (std::vector<float>{0.33333334f, 0.5f, 0.0f}));
    }
}

TEST_F(NoteMusicTest, NoteDataFileNames) {
    std::filesystem::copy_file("data/music/song.mid", "data/music/Song.MID");
    const std::string tail = "><a association=\"Pad\"/></modulators>";
    const std::string names[] = {
        "<modulators stream_filename=\"song.ogg\" notedata_filename=\"Song.MID\"",
        "<modulators stream_filename=\"song.ogg\" mididata_filename=\"song.mid\"",
        "<modulators stream_filename=\"song.ogg\" notedata_filename=\"song.mid\" mididata_filename=\"none.mid\"",
    };
    for (const std::string& head : names) {
        SCOPED_TRACE(head);
        EXPECT_EQ(load(head + tail)->get_num_tracks(), 3u);
    }
    // A description in the working folder has an empty folder.
    write_file("song.ogg", song_ogg());
    write_file("song.mid", song_midi());
    write_text("song.xml", modulators(""));
    ZemblaSystem::music_file = "song.xml";
    EXPECT_EQ(Music().get_num_tracks(), 3u);
}

TEST_F(NoteMusicTest, RefusedDescriptions) {
    const std::string path = "data/music/song.xml";
    const std::string lfo_head = "<a association=\"Pad\"><lfo><wave>sine</wave>";
    const std::string tempo = "<tempo><numerator>1</numerator><denominator>4</denominator><controller><cc>1</cc>"
                              "<template file=\"knob.xml\"/></controller></tempo>";
    auto envelope = [](const std::string& attack, const std::string& sustain) {
        return "<a association=\"Pad\"><envelope>" + attack + "<decay unit=\"s\" slope=\"exp\">1</decay>" + sustain +
               "<release unit=\"s\" slope=\"exp\">1</release></envelope></a>";
    };
    const std::string attack = "<attack unit=\"s\" slope=\"exp\">1</attack>";
    const std::string sustain = "<sustain unit=\"percent\">50</sustain>";
    auto arp = [](const std::string& inside) { return "<a association=\"Arp\"><arp>" + inside + "</arp></a>"; };
    const std::string fraction = "<numerator>1</numerator><denominator>8</denominator>";
    struct Case {
        const char* name;
        std::string description;
        std::string message;
    };
    const Case cases[] = {
        {"blank", "  \n ", "Could not load " + path + ". Error='Error document empty.'. Exiting.\n"},
        {"no modulators", "<music/>", "element is NULL"},
        {"no soundtrack", "<modulators notedata_filename=\"song.mid\"/>",
         "Missing attribute stream_filename of element modulators in " + path},
        {"no note data", "<modulators stream_filename=\"song.ogg\"/>", "Can't find valid note data file!"},
        {"midi extension", modulators("", "song.midi"), "Music format midi not supported"},
        {"short name", modulators("", "a"), "Music format a not supported"},
        {"missing note file", modulators("", "none.mid"), "Failed to load data/music/none.mid: No such file or directory"},
        {"missing live set", modulators("", "none.als"),
         "Could not parse XML from data/music/none.als. Error='Failed to open file'. Exiting.\n"},
        {"no association", modulators("<a/>"), "Missing attribute association of element a in " + path},
        {"unknown track", modulators("<a association=\"pad\"/>"), "Could not find track pad"},
        {"no wave", modulators("<a association=\"Pad\"><lfo/></a>"), "lfo_element->FirstChildElement( \"wave\" ) is NULL"},
        {"wave Sine", modulators("<a association=\"Pad\"><lfo><wave>Sine</wave></lfo></a>"), "Unrecognized LFO wave type: Sine"},
        {"empty wave", modulators("<a association=\"Pad\"><lfo><wave/></lfo></a>"), "Unrecognized LFO wave type: "},
        {"no tempo", modulators(lfo_head + "</lfo></a>"), "tempo_element is NULL"},
        {"no numerator", modulators(lfo_head + "<tempo/></lfo></a>"), "tempo_element->FirstChildElement( \"numerator\" ) is NULL"},
        {"no denominator", modulators(lfo_head + "<tempo><numerator>1</numerator></tempo></lfo></a>"),
         "tempo_element->FirstChildElement( \"denominator\" ) is NULL"},
        {"no controller", modulators(lfo_head + "<tempo>" + fraction + "</tempo></lfo></a>"),
         "tempo_element->FirstChildElement( \"controller\" ) is NULL"},
        {"no cc", modulators(lfo_head + "<tempo>" + fraction + "<controller/></tempo></lfo></a>"),
         "tempo_element->FirstChildElement( \"controller\" )->FirstChildElement( \"cc\" ) is NULL"},
        {"cc 128", modulators(lfo_head + "<tempo>" + fraction + "<controller><cc>128</cc></controller></tempo></lfo></a>"),
         "Controller number 128 out of range 0..127 in " + path},
        {"no template", modulators(lfo_head + "<tempo>" + fraction + "<controller><cc>1</cc></controller></tempo></lfo></a>"),
         "tempo_element->FirstChildElement( \"controller\" )->FirstChildElement( \"template\" ) is NULL"},
        {"no template file",
         modulators(lfo_head + "<tempo>" + fraction + "<controller><cc>1</cc><template/></controller></tempo></lfo></a>"),
         "Missing attribute file of element template in " + path},
        {"missing template", modulators(lfo_head + with(tempo, "knob.xml", "none.xml") + "</lfo></a>"),
         "Could not load data/music/none.xml. Error='Failed to open file'. Exiting.\n"},
        {"empty numerator", modulators(lfo_head + with(tempo, "<numerator>1", "<numerator>") + "</lfo></a>"), "sscanf failed"},
        {"empty CDATA", modulators(lfo_head + with(tempo, "<cc>1", "<cc><![CDATA[]]>") + "</lfo></a>"), "sscanf failed"},
        {"no attack", modulators("<a association=\"Pad\"><envelope/></a>"), "env_element->FirstChildElement( \"attack\" ) is NULL"},
        {"no sustain", modulators(with(envelope(attack, sustain), sustain, "")),
         "env_element->FirstChildElement( \"sustain\" ) is NULL"},
        {"attack in ms", modulators(envelope(with(attack, "\"s\"", "\"ms\""), sustain)), "Unrecognized unit type: ms"},
        {"sustain in s", modulators(envelope(attack, with(sustain, "percent", "s"))), "Unrecognized unit type: s"},
        {"slope log", modulators(envelope(with(attack, "exp", "log"), sustain)), "Unrecognized slope type: log"},
        {"no unit", modulators(envelope(with(attack, " unit=\"s\"", ""), sustain)),
         "Missing attribute unit of element attack in " + path},
        {"no slope", modulators(envelope(with(attack, " slope=\"exp\"", ""), sustain)),
         "Missing attribute slope of element attack in " + path},
        {"blank attack", modulators(envelope(with(attack, ">1<", ">  <"), sustain)), "sscanf failed"},
        {"no pattern", modulators(arp("")), "arp_element->FirstChildElement( \"pattern\" ) is NULL"},
        {"pattern sideways", modulators(arp("<pattern>sideways</pattern>")), "Unrecognized arp pattern: sideways"},
        {"no octaves", modulators(arp("<pattern>up</pattern>")), "arp_element->FirstChildElement( \"octaves\" ) is NULL"},
        {"no arp numerator", modulators(arp("<pattern>up</pattern><octaves>1</octaves>")),
         "arp_element->FirstChildElement( \"numerator\" ) is NULL"},
        {"no arp denominator", modulators(arp("<pattern>up</pattern><octaves>1</octaves><numerator>1</numerator>")),
         "arp_element->FirstChildElement( \"denominator\" ) is NULL"},
        {"intensity unit", modulators("<a association=\"Pad\"><intensity unit=\"int\">1</intensity></a>"),
         "Unexpected intensity unit: int"},
        {"intensity alone", modulators("<a association=\"Pad\"><intensity unit=\"float\">1</intensity></a>"),
         "Intensity for track Pad without a modulator in " + path},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FATAL(load(c.description), c.message);
    }
    ZemblaSystem::music_file = "data/music/none.xml";
    EXPECT_FATAL(Music(), "Could not load data/music/none.xml. Error='Failed to open file'. Exiting.\n");
}

TEST_F(NoteMusicTest, RefusedTemplates) {
    const std::string description = modulators(
        "<a association=\"Pad\"><lfo><wave>saw</wave><tempo><numerator>1</numerator><denominator>4</denominator>"
        "<controller><cc>1</cc><template file=\"knob.xml\"/></controller></tempo></lfo></a>");
    auto range = [](const std::string& inside) { return "<range>" + inside + "</range>"; };
    const std::string value = "<value><numerator>1</numerator><denominator>4</denominator></value>";
    struct Case {
        const char* name;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"not XML", "<unit>", "Could not load data/music/knob.xml. Error='Error reading Element value.'. Exiting.\n"},
        {"no unit", "<template/>", "element is NULL"},
        {"no template", "<unit/>", "element->FirstChildElement( \"template\" ) is NULL"},
        {"no range", "<unit><template/><template>" + range("") + "</template></unit>",
         "element->FirstChildElement( \"template\" )->FirstChildElement( \"range\" ) is NULL"},
        {"no min", "<unit><template>" + range("") + "</template></unit>", "cur_el->FirstChildElement( \"min\" ) is NULL"},
        {"no max", "<unit><template>" + range("<min>0</min>") + "</template></unit>",
         "cur_el->FirstChildElement( \"max\" ) is NULL"},
        {"no value", "<unit><template>" + range("<min>0</min><max>1</max>") + "</template></unit>",
         "cur_el->FirstChildElement( \"value\" ) is NULL"},
        {"no numerator", "<unit><template>" + range("<min>0</min><max>1</max><value/>") + "</template></unit>",
         "cur_el->FirstChildElement( \"value\" )->FirstChildElement( \"numerator\" ) is NULL"},
        {"no denominator",
         "<unit><template>" + range("<min>0</min><max>1</max><value><numerator>1</numerator></value>") + "</template></unit>",
         "cur_el->FirstChildElement( \"value\" )->FirstChildElement( \"denominator\" ) is NULL"},
        {"empty min", "<unit><template>" + range("<min/><max>1</max>" + value) + "</template></unit>", "sscanf failed"},
        {"min x", "<unit><template>" + range("<min>x</min><max>1</max>" + value) + "</template></unit>", "sscanf failed"},
        {"second range broken",
         "<unit><template>" + range("<min>0</min><max>1</max>" + value) + range("<min>2</min>") + "</template></unit>",
         "cur_el->FirstChildElement( \"max\" ) is NULL"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_text("data/music/knob.xml", c.text);
        EXPECT_FATAL(load(description), c.message);
    }
}

}  // namespace

// Assembly of the scene graph's GLSL programs from pieces: literal lines
// (declarations sized by the light count, one-line statements) and small
// piece files under "data/util/objects3d/shaderpieces/", written into the six
// lists of a ShaderConstructor in an order fixed by the draw mode, the light
// count, the texture maps, instancing and per-instance colours. The render
// context asks for one program per shader key and instancing and caches it.
//
// assemble is the pure part (no GL, no file reads); GetShader compiles what
// it assembles.
#pragma once

#include <memory>

#include <string>

class Material;
class ShaderConstructor;
class ShaderProgram;

enum DrawMode {
    DRAW_MODE_NORMAL = 0,             // plain pass, all lights
    DRAW_MODE_SHADOW_AMBIENT = 1,     // ambient pass of the shadow pipeline
    DRAW_MODE_SHADOW_DEPTHWRITE = 2,  // depth pass into one cube-map face
    DRAW_MODE_SHADOW_LIGHTING = 3,    // additive lit pass for one light
    DRAW_MODE_GLOW = 4,               // glow pass
};

// "DRAW_MODE_NORMAL" ... "DRAW_MODE_GLOW"; "INVALID" for any other value.
std::string draw_mode_name(int draw_mode);

extern const std::string shader_pieces_folder;     // "data/util/objects3d/shaderpieces/"
extern const std::string objects3d_shaders_folder;  // "data/util/objects3d/shaders/"
// Set by the first RenderContextShaderPieces::init of the process.
extern bool shader_pieces_ready;

// Every piece file, in the order init touches them.
extern const char* const kShaderPieceFiles[33];

// What a program is assembled for.
struct ShaderRequest {
    int draw_mode = DRAW_MODE_NORMAL;
    unsigned num_lights = 0;
    bool using_texture = false;
    bool draw_instanced = false;
    const Material* material = nullptr;
};

// The multi-line program name that documents the combination (its last
// line has no line break).
std::string shader_program_name(const ShaderRequest& request);
// The builder filled for the request. Mode 3 with other than one light ends
// the run.
std::unique_ptr<ShaderConstructor> assemble(const ShaderRequest& request);

// A combination of draw mode, light count and material maps (present, with
// textures on) to assemble a program for.
struct PieceCheck {
    const char* what;
    int draw_mode;
    unsigned num_lights;
    bool diffuse, emission, normal, glow;
};
// Combinations whose programs together hold every piece file that any
// program can be assembled from (the four pieces no combination uses
// aside): compiled while loading, they find a damaged piece before the
// scene that needs it first draws.
extern const PieceCheck kEveryPieceChecks[4];

class RenderContextShaderPieces {
public:
    // Once per process: touches every piece file so that archive-write runs
    // record them (pieces are read only when a program is first drawn with).
    RenderContextShaderPieces& init();
    // A new program for the combination, which owns its builder.
    std::unique_ptr<ShaderProgram> GetShader(int draw_mode, unsigned num_lights, bool using_texture,
                                             bool draw_instanced, const Material* material);
    // Builds the programs of kEveryPieceChecks and lets them go: a piece that
    // does not compile ends the run, its box naming the piece. Needs GL.
    void compile_every_piece();
};

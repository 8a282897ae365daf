#include "effects/particles.h"

#include "system/fatal.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/shaderprogram/shaderprogram.h"

namespace Effects {

const char* const kDefaultParticleTexture = "data/common/images/own_particle_256.png";

void load_sprite(Texture& texture, const std::string& file) {
    if (!texture.load(file, true, true, GL_LINEAR, GL_LINEAR)) FATAL_ERROR("Failed to load texture");
    // A square that faces the eye is never seen at a slant, so anisotropic
    // filtering picks the same texels as plain trilinear filtering; on
    // llvmpipe it still costs several lookups a pixel, about half of what
    // a cloud of sprites costs.
    texture.sample_without_anisotropy();
}

namespace {

// The billboard programs' fragment lines: the sprite times the colour.
void add_sprite_fragment(ShaderConstructor& builder) {
    builder.add_frag_global("uniform sampler2D texture;");
    builder.add_frag_body("gl_FragColor = texture2D( texture, gl_TexCoord[0].xy ) * gl_Color;");
}

}  // namespace

std::unique_ptr<ShaderConstructor> make_particles_shader(const char* name) {
    auto builder = std::make_unique<ShaderConstructor>(name, "#version 120");
    builder->add_vert_global("uniform vec3 right;");
    builder->add_vert_global("uniform vec3 up;");
    builder->add_vert_global("uniform float size;");
    builder->add_vert_body(
        "\t/* Rotate billboards to face eye coords */"
        "\tfloat rsign = gl_MultiTexCoord0.x - 0.5;"
        "\tfloat usign = gl_MultiTexCoord0.y - 0.5;"
        "\tvec3 vert = vec3( gl_Vertex ) + ( right * rsign + up * usign ) * size;"
        "\tgl_Position = gl_ModelViewProjectionMatrix * vec4( vert, gl_Vertex.w );"
        "\tgl_TexCoord[0] = gl_MultiTexCoord0;"
        "\t/* Make sure we pass on the glColor values from the GL state */"
        "\tgl_FrontColor = gl_Color;");
    add_sprite_fragment(*builder);
    return builder;
}

std::unique_ptr<ShaderConstructor> make_point_sprite_shader(const char* name) {
    auto builder = std::make_unique<ShaderConstructor>(name, "#version 120");
    builder->add_vert_global("uniform float size;");
    builder->add_vert_global("uniform float pixels_per_unit;");
    builder->add_vert_body(
        "\tgl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;"
        "\t/* The edge seen at this depth, in pixels */"
        "\tgl_PointSize = size * pixels_per_unit / gl_Position.w;"
        "\t/* Replaced by the sprite's coordinates */"
        "\tgl_TexCoord[0] = vec4( 0.0 );"
        "\tgl_FrontColor = gl_Color;");
    add_sprite_fragment(*builder);
    return builder;
}

Particles::Particles(ParticleSettings settings, std::string texture_file)
    : morph(settings.colour, settings.count), colour(settings.colour), layout(settings.count) {
    if (texture_file.empty()) texture_file = kDefaultParticleTexture;
    load_sprite(texture, texture_file);
    billboard_shader = std::make_unique<ShaderProgram>(make_particles_shader());
    FATAL_ASSERT(billboard_shader);
    buffer_vertex = static_cast<float*>(std::malloc(layout.total_bytes()));
    if (!buffer_vertex && layout.total_bytes() > 0) FATAL_ERROR("buffer_vertex is NULL");
    glGenBuffers(1, &vbo);
}

Particles::~Particles() {
    if (vbo) glDeleteBuffers(1, &vbo);
    std::free(buffer_vertex);
}

void Particles::render(float) {
    glEnable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glDisable(GL_COLOR_MATERIAL);
    texture.bind_and_enable();

    float m[16];
    bind_billboard_program(*billboard_shader, size, m);

    std::vector<uint32_t> order;
    if (depth_sort) {
        glEnable(GL_DEPTH_TEST);
        order = back_to_front(morph.get_particles(), model_matrix, m);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    fill_billboards(buffer_vertex, morph.get_particles(), order, model_matrix, colour);

    // Unsorted, the cloud tests no depth and may go through a layer of its
    // own; sorted, it must test depth against the scene's.
    const bool layered = !depth_sort && sprite_layer.begin();
    draw_billboard_block(vbo, buffer_vertex, layout, morph.get_particles().size());
    if (layered) {
        sprite_layer.end(sprite_order);
        // As the draw left them.
        texture.bind_and_enable();
        billboard_shader->bind();
    }
}

void bind_billboard_program(ShaderProgram& program, float size, float modelview[16]) {
    // The camera's right and up in world space: the first two rows of the
    // modelview's rotation, so every square faces the eye.
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    program.bind();
    program.set_uniform3f("right", modelview[0], modelview[4], modelview[8]);
    program.set_uniform3f("up", modelview[1], modelview[5], modelview[9]);
    program.set_uniform1f("size", size);
}

float pixels_per_unit() {
    // A unit at distance 1 spans projection[1][1] of the two units of
    // normalised height, which the viewport maps onto its rows.
    float projection[16];
    GLint viewport[4] = {};
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    return projection[5] * static_cast<float>(viewport[3]) * 0.5f;
}

void bind_point_sprite_program(ShaderProgram& program, float size, float pixels_per_unit) {
    program.bind();
    program.set_uniform1f("size", size);
    program.set_uniform1f("pixels_per_unit", pixels_per_unit);
}

void draw_point_sprites(GLuint vbo, const float* block, const BillboardLayout& layout, size_t quads) {
    // Every corner of a billboard holds its centre and colour: the first
    // corner's stand for the point, read with a stride of four corners.
    // Only the parts drawn from are uploaded.
    constexpr GLsizei kPositionStride = 4 * 3 * sizeof(float);
    constexpr GLsizei kColourStride = 4 * 4 * sizeof(float);
    const size_t colours = layout.position_bytes + layout.texcoord_bytes;
    const float* block_colours = block + colours / sizeof(float);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(layout.total_bytes()), nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(quads * kPositionStride), block);
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(colours), static_cast<GLsizeiptr>(quads * kColourStride),
                    block_colours);
    glEnable(GL_VERTEX_PROGRAM_POINT_SIZE);
    glEnable(GL_POINT_SPRITE);
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_TRUE);
    // The billboards' t runs up the screen from their lower corners; a
    // point sprite's runs down from its top unless told otherwise, which
    // would show the sprite upside down.
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, kPositionStride, nullptr);
    glColorPointer(4, GL_FLOAT, kColourStride, reinterpret_cast<const void*>(colours));
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(quads));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_UPPER_LEFT);
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, GL_FALSE);
    glDisable(GL_POINT_SPRITE);
    glDisable(GL_VERTEX_PROGRAM_POINT_SIZE);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void draw_billboard_block(GLuint vbo, const float* block, const BillboardLayout& layout, size_t quads) {
    // A vertex-array object still bound would feed its own attribute 0 to
    // the client-array draw below in place of these positions.
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(layout.total_bytes()), block, GL_STREAM_DRAW);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, nullptr);
    glTexCoordPointer(2, GL_FLOAT, 0, reinterpret_cast<const void*>(layout.position_bytes));
    glColorPointer(4, GL_FLOAT, 0, reinterpret_cast<const void*>(layout.position_bytes + layout.texcoord_bytes));
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(4 * quads));
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace Effects

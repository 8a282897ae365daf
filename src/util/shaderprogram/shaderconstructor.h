// Builds the source text of a vertex and a fragment shader from small parts:
// literal lines and shader piece files, kept in six ordered lists. Each stage
// is generated on demand as version, banner, declarations, functions and the
// body wrapped in `void main()`. Piece files are read (through the data layer)
// every time a stage is generated. The builder only produces text.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct ShaderPiece {
    enum : int32_t { piece_file = 0, piece_line = 1 };
    int32_t kind;
    std::string text;  // the line (no line end) or the piece file's name
};

class ShaderConstructor {
public:
    // List indices. A stage is named by the index of its declarations list;
    // its functions and body lists follow at +1 and +2.
    static constexpr int32_t vert_globals = 0;
    static constexpr int32_t vert_functions = 1;
    static constexpr int32_t vert_body = 2;
    static constexpr int32_t frag_globals = 3;
    static constexpr int32_t frag_functions = 4;
    static constexpr int32_t frag_body = 5;

    ShaderConstructor(const std::string& name, const std::string& version);
    ShaderConstructor(const ShaderConstructor&) = delete;
    ShaderConstructor& operator=(const ShaderConstructor&) = delete;

    void add_vert_global(const std::string& line) { add(vert_globals, ShaderPiece::piece_line, line); }
    void add_vert_body(const std::string& line) { add(vert_body, ShaderPiece::piece_line, line); }
    void add_frag_global(const std::string& line) { add(frag_globals, ShaderPiece::piece_line, line); }
    void add_frag_function(const std::string& line) { add(frag_functions, ShaderPiece::piece_line, line); }
    void add_frag_body(const std::string& line) { add(frag_body, ShaderPiece::piece_line, line); }

    void add_vert_global_file(const std::string& file) { add(vert_globals, ShaderPiece::piece_file, file); }
    void add_vert_function_file(const std::string& file) { add(vert_functions, ShaderPiece::piece_file, file); }
    void add_vert_body_file(const std::string& file) { add(vert_body, ShaderPiece::piece_file, file); }
    void add_frag_global_file(const std::string& file) { add(frag_globals, ShaderPiece::piece_file, file); }
    void add_frag_function_file(const std::string& file) { add(frag_functions, ShaderPiece::piece_file, file); }
    void add_frag_body_file(const std::string& file) { add(frag_body, ShaderPiece::piece_file, file); }

    std::string get_vertex_source() const { return generate(vert_globals); }
    std::string get_fragment_source() const { return generate(frag_globals); }

    // The source of the stage whose declarations list is `offset`
    // (vert_globals or frag_globals; anything else ends the run).
    std::string generate(int32_t offset) const;

    // What one piece contributes: the line itself, or the piece file's text.
    static std::string load_piece(const ShaderPiece& piece);

    // The piece files a driver's compile log of the stage generated from
    // `offset` points at: the file whose text holds the line of the log's
    // first error, or, when that line is one of the builder's own, every
    // piece file of the stage ("a, b, c"). Empty for a stage of literal
    // lines only. The stage is generated again to count its lines.
    std::string pieces_named_by(int32_t offset, const std::string& log) const;
    // The source line of the first error in a driver's log ("0:12(5): error:
    // ..." or "0(12) : error ..."); 0 when it names none.
    static int first_error_line(const std::string& log);

    const std::string& get_name() const { return name; }
    const std::string& get_version() const { return version; }
    // The entries of one list (vert_globals .. frag_body), in the order added.
    const std::vector<ShaderPiece>& get_list(int32_t list) const { return lists[list]; }

private:
    void add(int32_t list, int32_t kind, const std::string& text);
    // Hands every item of the stage to `item` in order, each a line or more
    // of the source (generate() ends each with a line feed): the frame's own
    // lines (no piece) and what each piece contributes.
    void walk(int32_t offset, const std::function<void(const std::string&, const ShaderPiece*)>& item) const;

    std::string name;
    std::string version;
    std::vector<ShaderPiece> lists[6];
};

// Built-in builders: version "#version 420", literal lines only. The
// builder goes to the program made from it.
std::unique_ptr<ShaderConstructor> make_shader_texture2d(const std::string& name);
std::unique_ptr<ShaderConstructor> make_shader_texture_color2d(const std::string& name);
std::unique_ptr<ShaderConstructor> make_shader_texture3d(const std::string& name);
std::unique_ptr<ShaderConstructor> make_shader_color2d(const std::string& name);
std::unique_ptr<ShaderConstructor> make_shader_color3d(const std::string& name);
std::unique_ptr<ShaderConstructor> make_shader_vertex_color3d(const std::string& name);
std::unique_ptr<ShaderConstructor> make_shader_blur(const std::string& name);

// The vertex stage of the 2D textured shaders: vec2 Position at location 0
// through "ProjectionMatrix", vec2 TexCoord at location 2 handed on as
// TexCoordFrag. What FBO::draw and easydraw_quad feed.
void add_textured_2d_vertex(ShaderConstructor* s);

// A linked GLSL program, built completely in its constructor from a vertex
// and a fragment shader file (read through the data layer, falling back to
// "data/common/shaders/") or from a ShaderConstructor. The attribute tokens
// VERTEX_ATTRIB_POSITION/NORMAL/TEXCOORD/TANGENT in the sources become the
// locations 0/1/2/3. A compile or link failure shows the driver's log in a
// message box and ends the run.
#pragma once

#include <GL/glew.h>

#include <cstdint>
#include <memory>
#include <string>

class ShaderConstructor;
class vec3;
class vec4;

constexpr int32_t SHADER_ORIGIN_FILES = 0;
constexpr int32_t SHADER_ORIGIN_CONSTRUCTOR = 1;

class ShaderProgram {
public:
    ShaderProgram(const std::string& vertex_file, const std::string& fragment_file);
    // The program keeps the builder it is made from.
    explicit ShaderProgram(std::unique_ptr<ShaderConstructor> constructor);
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    void bind();

    // Setters of the bound program's uniforms, looked up by name on every
    // call; a name the program lacks sets nothing.
    void set_uniform1f(const char* name, float value);
    void set_uniform1i(const char* name, int32_t value);
    void set_uniform2f(const char* name, float x, float y);
    void set_uniform3f(const char* name, float x, float y, float z);
    void set_uniform4f(const char* name, float x, float y, float z, float w);
    void set_uniform3fv(const char* name, const float* values, int32_t count);
    // glUniform3fv from the vector's x on (count 1: x, y, z).
    void set_uniform_vec3(const char* name, const vec3& value, int32_t count);
    void set_uniform4fv(const char* name, const float* values, int32_t count);
    // False when the name has no location (and nothing is set).
    void set_uniform_vec4(const char* name, const vec4& value, int32_t count);
    bool set_uniform_matrix4fv(const char* name, const float* values, int32_t count, bool transpose);

    GLhandleARB get_program() const { return program; }
    // The builder the program was built from; null for one built from files.
    ShaderConstructor* get_constructor() const { return constructor.get(); }

    // The source with every attribute token replaced by its location number.
    static std::string substitute_attribs(const std::string& source);
    // The text handed to the driver: a first line "#version N" (N >= 150, no
    // profile) is compiled as "#version N compatibility", since this code
    // relies on the compatibility built-ins.
    static std::string driver_source(const std::string& source);
    // The file's text (a malloc block to free) or null.
    static char* read_shader_file(const std::string& name);

private:
    void build_or_fail();
    bool build();
    bool compile_and_link(const char* vertex_source, const char* fragment_source);
    GLint location(const char* name) const;

    std::unique_ptr<ShaderConstructor> constructor;
    std::string vertex_file;
    std::string fragment_file;
    GLhandleARB vertex_shader = 0;
    GLhandleARB fragment_shader = 0;
    GLhandleARB program = 0;
    bool bound = false;
    int32_t origin = SHADER_ORIGIN_FILES;
    // What the last failed compile or link names on the console: the file
    // (or builder) and the driver's log.
    std::string failed_file;
    std::string failed_log;
};

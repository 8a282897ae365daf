#include "util/shaderprogram/shaderprogram.h"

#include <cstdlib>
#include <cstring>

#include "platform/message_box.h"
#include "system/fatal.h"
#include "util/data/data.h"
#include "util/math/vector.h"
#include "util/shaderprogram/shaderconstructor.h"
#include "util/utils.h"

namespace {

// The info log of a shader or program object; empty when it has none.
template <typename LengthQuery, typename LogQuery>
std::string info_log(GLhandleARB object, LengthQuery query_length, LogQuery query_log) {
    GLint length = 0;
    query_length(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 0) return std::string();
    std::string log(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    query_log(object, length, &written, &log[0]);
    log.resize(static_cast<size_t>(written));
    return log;
}

std::string shader_log(GLhandleARB shader) {
    return info_log(
        shader, [](GLhandleARB o, GLenum p, GLint* v) { glGetShaderiv(o, p, v); },
        [](GLhandleARB o, GLsizei n, GLsizei* w, char* s) { glGetShaderInfoLog(o, n, w, s); });
}

std::string program_log(GLhandleARB program) {
    return info_log(
        program, [](GLhandleARB o, GLenum p, GLint* v) { glGetProgramiv(o, p, v); },
        [](GLhandleARB o, GLsizei n, GLsizei* w, char* s) { glGetProgramInfoLog(o, n, w, s); });
}

// Compiles one stage; on failure shows its log and returns false, with
// what failed (`failed_file`) and the log (`failure`) for the console. A
// stage from a builder (`builder`, its list `stage_list`) has no file: the
// piece files it was assembled from stand in, the one the log points into if
// any (on the console, the builder's name when it has no piece files).
bool compile_stage(GLhandleARB shader, const char* stage, const std::string& file, const ShaderConstructor* builder,
                   int32_t stage_list, std::string* failed_file, std::string* failure) {
    glCompileShaderARB(shader);
    const std::string log = shader_log(shader);
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE) return true;
    *failure = std::string(stage) + " shader compile failed, log:\n " + log;
    const std::string named = builder ? builder->pieces_named_by(stage_list, log) : file;
    *failed_file = builder && named.empty() ? "program " + builder->get_name() : named;
    platform::show_message_box(std::string(stage) + " shader compilation failed: " + named, "--- " + *failure,
                               platform::MessageBoxKind::Plain);
    return false;
}

}  // namespace

ShaderProgram::ShaderProgram(const std::string& vertex, const std::string& fragment) {
    if (vertex.empty() || fragment.empty()) FATAL_ERROR("Need to specif shader filenames!");
    vertex_file = vertex;
    fragment_file = fragment;
    origin = SHADER_ORIGIN_FILES;
    build_or_fail();
}

ShaderProgram::ShaderProgram(std::unique_ptr<ShaderConstructor> builder) {
    if (!builder) FATAL_ERROR("Need to specify Shader Constructor!");
    constructor = std::move(builder);
    origin = SHADER_ORIGIN_CONSTRUCTOR;
    build_or_fail();
}

void ShaderProgram::build_or_fail() {
    // The console line names the file and carries the driver's log too: the
    // stage's box alone would leave a script that runs the program without
    // either.
    if (!build()) FATAL_ERROR(DataFile::failure_message("Shader compile and link failed!", failed_file, failed_log));
}

ShaderProgram::~ShaderProgram() {
    glDetachObjectARB(program, vertex_shader);
    glDetachObjectARB(program, fragment_shader);
    glDeleteObjectARB(program);
    glDeleteObjectARB(vertex_shader);
    glDeleteObjectARB(fragment_shader);
}

char* ShaderProgram::read_shader_file(const std::string& name) {
    int32_t length = 0;
    char* text = DataFile::load(name.c_str(), "rt", &length, true, false);
    if (!text) {
        const std::string common = "data/common/shaders/" + name;
        text = DataFile::load(common.c_str(), "rt", &length, true, false);
    }
    return text;
}

std::string ShaderProgram::substitute_attribs(const std::string& source) {
    static const char* const kTokens[4] = {"VERTEX_ATTRIB_POSITION", "VERTEX_ATTRIB_NORMAL",
                                           "VERTEX_ATTRIB_TEXCOORD", "VERTEX_ATTRIB_TANGENT"};
    std::string result = source;
    for (int location = 0; location < 4; ++location)
        replace_all(result, kTokens[location], int_to_string(location));
    return result;
}

std::string ShaderProgram::driver_source(const std::string& source) {
    const std::string directive = "#version ";
    if (source.compare(0, directive.size(), directive) != 0) return source;
    const size_t digits_end = source.find_first_not_of("0123456789", directive.size());
    const size_t number_end = digits_end == std::string::npos ? source.size() : digits_end;
    if (number_end == directive.size()) return source;
    // Nothing but blanks may follow the number on its line (no profile yet).
    const size_t line_end = std::min(source.find('\n', number_end), source.size());
    if (source.find_first_not_of(" \t\r", number_end) < line_end) return source;
    if (std::atoi(source.c_str() + directive.size()) < 150) return source;
    return source.substr(0, number_end) + " compatibility" + source.substr(number_end);
}

bool ShaderProgram::build() {
    if (origin == SHADER_ORIGIN_FILES) {
        char* vertex_text = read_shader_file(vertex_file);
        if (!vertex_text) FATAL_ERROR("Can't read shader file " << vertex_file);
        char* fragment_text = read_shader_file(fragment_file);
        if (!fragment_text) {
            free(vertex_text);
            FATAL_ERROR("Can't read shader file " << fragment_file);
        }
        const std::string vertex_source = substitute_attribs(vertex_text);
        const std::string fragment_source = substitute_attribs(fragment_text);
        const bool result = compile_and_link(vertex_source.c_str(), fragment_source.c_str());
        free(vertex_text);
        free(fragment_text);
        return result;
    }
    if (origin == SHADER_ORIGIN_CONSTRUCTOR) {
        const std::string vertex_source = substitute_attribs(constructor->get_vertex_source());
        const std::string fragment_source = substitute_attribs(constructor->get_fragment_source());
        return compile_and_link(vertex_source.c_str(), fragment_source.c_str());
    }
    FATAL_ERROR("Unsupported shader origin!");
}

bool ShaderProgram::compile_and_link(const char* vertex_source, const char* fragment_source) {
    const std::string vertex_text = driver_source(vertex_source);
    const std::string fragment_text = driver_source(fragment_source);
    const char* vertex_ptr = vertex_text.c_str();
    const char* fragment_ptr = fragment_text.c_str();

    vertex_shader = glCreateShaderObjectARB(GL_VERTEX_SHADER_ARB);
    fragment_shader = glCreateShaderObjectARB(GL_FRAGMENT_SHADER_ARB);
    glShaderSourceARB(vertex_shader, 1, &vertex_ptr, nullptr);
    glShaderSourceARB(fragment_shader, 1, &fragment_ptr, nullptr);
    if (!compile_stage(vertex_shader, "Vertex", vertex_file, constructor.get(), ShaderConstructor::vert_globals,
                       &failed_file, &failed_log))
        return false;
    if (!compile_stage(fragment_shader, "Fragment", fragment_file, constructor.get(), ShaderConstructor::frag_globals,
                       &failed_file, &failed_log))
        return false;

    program = glCreateProgramObjectARB();
    glAttachObjectARB(program, vertex_shader);
    glAttachObjectARB(program, fragment_shader);
    glLinkProgramARB(program);
    const std::string log = program_log(program);
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status != GL_TRUE) {
        failed_file = constructor ? "program " + constructor->get_name() : vertex_file + " and " + fragment_file;
        failed_log = "Shader linking failed, log:\n " + log;
        platform::show_message_box("Shader linking failed", "--- " + failed_log, platform::MessageBoxKind::Plain);
        return false;
    }
    glValidateProgramARB(program);
    return true;
}

void ShaderProgram::bind() {
    glUseProgram(program);
    bound = true;
}

GLint ShaderProgram::location(const char* name) const { return glGetUniformLocation(program, name); }

void ShaderProgram::set_uniform1f(const char* name, float value) { glUniform1f(location(name), value); }

void ShaderProgram::set_uniform1i(const char* name, int32_t value) { glUniform1i(location(name), value); }

void ShaderProgram::set_uniform2f(const char* name, float x, float y) {
    glUniform2f(location(name), x, y);
}

void ShaderProgram::set_uniform3f(const char* name, float x, float y, float z) {
    glUniform3f(location(name), x, y, z);
}

void ShaderProgram::set_uniform4f(const char* name, float x, float y, float z, float w) {
    glUniform4f(location(name), x, y, z, w);
}

void ShaderProgram::set_uniform3fv(const char* name, const float* values, int32_t count) {
    glUniform3fv(location(name), count, values);
}

void ShaderProgram::set_uniform_vec3(const char* name, const vec3& value, int32_t count) {
    glUniform3fv(location(name), count, value.data());
}

void ShaderProgram::set_uniform_vec4(const char* name, const vec4& value, int32_t count) {
    glUniform4fv(location(name), count, value.data());
}

void ShaderProgram::set_uniform4fv(const char* name, const float* values, int32_t count) {
    glUniform4fv(location(name), count, values);
}

bool ShaderProgram::set_uniform_matrix4fv(const char* name, const float* values, int32_t count,
                                          bool transpose) {
    const GLint where = location(name);
    if (where == -1) return false;
    glUniformMatrix4fv(where, count, transpose ? GL_TRUE : GL_FALSE, values);
    return true;
}

#include "gl/ShaderProgram.h"

#include "app/DataPaths.h"

#include "app/Platform.h"

#include <fstream>
#include <iostream>
#include <sstream>

ShaderProgram::ShaderProgram(std::string n) : name(std::move(n)) {}

ShaderProgram::~ShaderProgram()
{
    if (glContextAlive())
        release();
}

void ShaderProgram::release()
{
    // Stage objects exist from setSource on, compiled or not.
    for (GLuint* s : {&vertexShader, &geometryShader, &fragmentShader}) {
        if (*s != none)
            glDeleteShader(*s);
        *s = none;
    }
    if (program != none)
        glDeleteProgram(program);
    program = none;
    compiled = false;
    linked = false;
}

const char* ShaderProgram::stageName(GLenum stage)
{
    switch (stage) {
    case GL_FRAGMENT_SHADER: return "fragment shader";
    case GL_VERTEX_SHADER: return "vertex shader";
    case GL_GEOMETRY_SHADER: return "geometry shader";
    default: return "shader";
    }
}

bool ShaderProgram::setSource(GLenum stage, const std::string& source)
{
    if (compiled)
        return false;
    GLuint* field = nullptr;
    switch (stage) {
    case GL_FRAGMENT_SHADER: field = &fragmentShader; break;
    case GL_VERTEX_SHADER: field = &vertexShader; break;
    case GL_GEOMETRY_SHADER: field = &geometryShader; break;
    default: return false;
    }
    // Setting a stage again replaces it instead of leaking the old object.
    if (*field != none)
        glDeleteShader(*field);
    *field = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(*field, 1, &text, nullptr);
    return true;
}

bool ShaderProgram::loadSource(GLenum stage, const std::string& path)
{
    std::ifstream in(findDataFile(path), std::ios::in | std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    return setSource(stage, text.str());
}

bool ShaderProgram::compile()
{
    if (compiled)
        return false;
    bool ok = true;
    for (GLuint shader : {vertexShader, geometryShader, fragmentShader}) {
        if (shader == none)
            continue;
        glCompileShader(shader);
        GLint status = 0;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
        if (status != 1) {
            GLint length = 0;
            glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
            std::string log(length > 0 ? static_cast<size_t>(length) : 1, '\0');
            glGetShaderInfoLog(shader, static_cast<GLsizei>(log.size()), nullptr, &log[0]);
            log.resize(log.find('\0') == std::string::npos ? log.size() : log.find('\0'));
            GLint type = 0;
            glGetShaderiv(shader, GL_SHADER_TYPE, &type);
            std::cout << "ERROR when compiling " << stageName(static_cast<GLenum>(type)) << " of " << name << ":"
                      << std::endl
                      << log << std::endl;
            ok = false;
        }
    }
    compiled = ok;
    return ok;
}

bool ShaderProgram::link(const std::vector<std::string>& outputs)
{
    if (!compiled || linked)
        return false;
    if (program == none)
        program = glCreateProgram();
    for (GLuint shader : {vertexShader, geometryShader, fragmentShader})
        if (shader != none)
            glAttachShader(program, shader);
    for (size_t i = 0; i < outputs.size(); ++i)
        glBindFragDataLocation(program, static_cast<GLuint>(i), outputs[i].c_str());
    glLinkProgram(program);
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status == 1) {
        linked = true;
        return true;
    }
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::string log(length > 0 ? static_cast<size_t>(length) : 1, '\0');
    glGetProgramInfoLog(program, static_cast<GLsizei>(log.size()), nullptr, &log[0]);
    log.resize(log.find('\0') == std::string::npos ? log.size() : log.find('\0'));
    std::cout << "ERROR when linking " << name << ":" << std::endl << log << std::endl;
    linked = false;
    return false;
}

bool ShaderProgram::build(const std::string& vertexPath, const std::string& fragmentPath,
                          const std::vector<std::string>& outputs)
{
    loadSource(GL_VERTEX_SHADER, vertexPath);
    loadSource(GL_FRAGMENT_SHADER, fragmentPath);
    compile();
    return link(outputs);
}

GLint ShaderProgram::uniform(const char* uniformName) const
{
    if (!linked)
        return -1;
    return glGetUniformLocation(program, uniformName);
}

void ShaderProgram::set(const char* n, int v) const { glUniform1i(uniform(n), v); }
void ShaderProgram::set(const char* n, unsigned int v) const { glUniform1ui(uniform(n), v); }
void ShaderProgram::set(const char* n, float v) const { glUniform1f(uniform(n), v); }
void ShaderProgram::set(const char* n, float x, float y) const { glUniform2f(uniform(n), x, y); }
void ShaderProgram::set(const char* n, float x, float y, float z) const { glUniform3f(uniform(n), x, y, z); }
void ShaderProgram::set(const char* n, float x, float y, float z, float w) const
{
    glUniform4f(uniform(n), x, y, z, w);
}
void ShaderProgram::setMatrix4(const char* n, const float* m) const { glUniformMatrix4fv(uniform(n), 1, GL_FALSE, m); }
void ShaderProgram::setMatrix3(const char* n, const float* m) const { glUniformMatrix3fv(uniform(n), 1, GL_FALSE, m); }

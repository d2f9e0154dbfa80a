#include "gl/ShaderProgram.h"

#include "base/DataPaths.h"

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

namespace {

std::set<std::string>* uniformNameLog = nullptr;

bool readFile(const std::string& path, std::string& text)
{
    std::ifstream in(findDataFile(path), std::ios::in | std::ios::binary);
    if (!in)
        return false;
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return true;
}

// Joins the files named by #include lines into the text. A #line after each
// keeps the compiler's line numbers those of the including file. A file that
// cannot be read keeps its line, which the compiler then reports.
std::string joinIncludes(const std::string& text, const std::string& directory, int depth)
{
    std::istringstream in(text);
    std::string out, line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string directive = "#include \"";
        const size_t close = line.rfind('"');
        std::string included;
        if (depth < 8 && line.compare(0, directive.size(), directive) == 0 && close > directive.size() &&
            readFile(directory + line.substr(directive.size(), close - directive.size()), included)) {
            out += joinIncludes(included, directory, depth + 1);
            out += "#line " + std::to_string(number + 1) + "\n";
        } else {
            out += line + "\n";
        }
    }
    return out;
}

} // namespace

bool ShaderProgram::loadSource(GLenum stage, const std::string& path)
{
    std::string text;
    if (!readFile(path, text))
        return false;
    const size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    return setSource(stage, joinIncludes(text, directory, 0));
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

void ShaderProgram::recordUniformNames(std::set<std::string>* names)
{
    uniformNameLog = names;
}

std::vector<std::string> ShaderProgram::activeUniforms() const
{
    std::vector<std::string> names;
    if (!linked)
        return names;
    GLint count = 0, longest = 0;
    glGetProgramiv(program, GL_ACTIVE_UNIFORMS, &count);
    glGetProgramiv(program, GL_ACTIVE_UNIFORM_MAX_LENGTH, &longest);
    std::vector<char> buffer(static_cast<size_t>(longest) + 1);
    for (GLint i = 0; i < count; ++i) {
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        glGetActiveUniform(program, static_cast<GLuint>(i), static_cast<GLsizei>(buffer.size()), &length, &size,
                           &type, buffer.data());
        std::string name(buffer.data(), static_cast<size_t>(length));
        if (name.size() > 3 && name.compare(name.size() - 3, 3, "[0]") == 0)
            name.resize(name.size() - 3);
        names.push_back(name);
    }
    return names;
}

GLint ShaderProgram::uniform(const char* uniformName) const
{
    if (uniformNameLog)
        uniformNameLog->insert(uniformName);
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

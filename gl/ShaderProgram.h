#pragma once
#include <epoxy/gl.h>

#include <set>
#include <string>
#include <vector>

// One GLSL program: up to three stages read from text, compiled, then linked
// with its fragment outputs bound by name to colour numbers 0, 1, ...
// Uniforms are looked up by name every time they are set; a name the program
// lacks gives location -1 and the set does nothing, so one draw routine
// serves every pass.
class ShaderProgram {
public:
    static constexpr GLuint none = static_cast<GLuint>(-1);

    explicit ShaderProgram(std::string name);
    ~ShaderProgram();
    ShaderProgram(const ShaderProgram&) = delete;
    ShaderProgram& operator=(const ShaderProgram&) = delete;

    bool setSource(GLenum stage, const std::string& source);
    // Reads the file; a line #include "NAME" is replaced by the file NAME
    // beside it, so code shared by several programs is written once.
    bool loadSource(GLenum stage, const std::string& path);
    bool compile();
    bool link(const std::vector<std::string>& outputs);
    // Deletes the GL objects now (the destructor then has nothing left to do).
    void release();

    // The usual sequence: both files, compile, link.
    bool build(const std::string& vertexPath, const std::string& fragmentPath,
               const std::vector<std::string>& outputs);

    void use() const { glUseProgram(linked ? program : 0); }
    GLint uniform(const char* uniformName) const;
    void set(const char* uniformName, int v) const;
    void set(const char* uniformName, unsigned int v) const;
    void set(const char* uniformName, float v) const;
    void set(const char* uniformName, float x, float y) const;
    void set(const char* uniformName, float x, float y, float z) const;
    void set(const char* uniformName, float x, float y, float z, float w) const;
    void setMatrix4(const char* uniformName, const float* m) const;
    void setMatrix3(const char* uniformName, const float* m) const;

    static const char* stageName(GLenum stage);

    // The names of the program's active uniforms (arrays without "[0]").
    std::vector<std::string> activeUniforms() const;
    // While a set is given, every uniform name looked up by any program is
    // added to it, so a test can check each against the programs' GLSL.
    static void recordUniformNames(std::set<std::string>* names);

    std::string name;
    GLuint program = none;
    GLuint vertexShader = none;
    GLuint geometryShader = none;
    GLuint fragmentShader = none;
    bool compiled = false;
    bool linked = false;
};

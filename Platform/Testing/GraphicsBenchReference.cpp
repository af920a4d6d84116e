// Plain OpenGL drawing of the benchmark's quads, to compare the device against.

#include "Platform/Testing/GraphicsBenchReference.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL2/SDL.h>

#include <chrono>

namespace {

const char* kVertexSource =
    "#version 130\n"
    "uniform vec2 scale;\n"
    "in vec2 position; in vec4 colour; in vec2 uv;\n"
    "out vec4 vColour; out vec2 vUv;\n"
    "void main() {\n"
    "  gl_Position = vec4(position.x * scale.x - 1.0, 1.0 - position.y * scale.y, 0.5, 1.0);\n"
    "  vColour = colour; vUv = uv;\n"
    "}\n";
const char* kFragmentSource =
    "#version 130\n"
    "uniform sampler2D image;\n"
    "in vec4 vColour; in vec2 vUv; out vec4 result;\n"
    "void main() { result = texture(image, vUv) * vColour; }\n";

struct SVertex {
  float x, y;
  uint32_t colour;
  float u, v;
};

GLuint Compile(GLenum kind, const char* source) {
  GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  return shader;
}

}  // namespace

double PlatformRunPlainGlQuads(PlatformWindowHandle handle, int width, int height,
                               const std::vector<SGfxBenchQuad>& quads, int size, bool batched, int frames) {
  auto* window = reinterpret_cast<SDL_Window*>(handle);
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
  SDL_GLContext previous = SDL_GL_GetCurrentContext();
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) return -1.0;

  GLuint program = glCreateProgram();
  GLuint vs = Compile(GL_VERTEX_SHADER, kVertexSource), fs = Compile(GL_FRAGMENT_SHADER, kFragmentSource);
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glBindAttribLocation(program, 0, "position");
  glBindAttribLocation(program, 1, "colour");
  glBindAttribLocation(program, 2, "uv");
  glLinkProgram(program);
  glUseProgram(program);
  glUniform2f(glGetUniformLocation(program, "scale"), 2.0f / width, 2.0f / height);
  glUniform1i(glGetUniformLocation(program, "image"), 0);

  std::vector<uint32_t> texels(static_cast<size_t>(size) * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) texels[static_cast<size_t>(y) * size + x] = 0x80000000u | (x * 2) << 16 | (y * 2) << 8 | 0x40;
  GLuint texture;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());

  std::vector<SVertex> vertices;
  std::vector<uint16_t> indices;
  for (const SGfxBenchQuad& q : quads) {
    const auto base = static_cast<uint16_t>(vertices.size());
    const float s = static_cast<float>(size);
    vertices.push_back({q.x, q.y, 0xFFFFFFFF, 0, 0});
    vertices.push_back({q.x + s, q.y, 0xFFFFFFFF, 1, 0});
    vertices.push_back({q.x + s, q.y + s, 0xFFFFFFFF, 1, 1});
    vertices.push_back({q.x, q.y + s, 0xFFFFFFFF, 0, 1});
    for (uint16_t i : {0, 1, 2, 2, 3, 0}) indices.push_back(static_cast<uint16_t>(base + i));
  }
  glEnableVertexAttribArray(0);
  glEnableVertexAttribArray(1);
  glEnableVertexAttribArray(2);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, sizeof(SVertex), &vertices[0].x);
  glVertexAttribPointer(1, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(SVertex), &vertices[0].colour);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, sizeof(SVertex), &vertices[0].u);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glViewport(0, 0, width, height);

  const auto start = std::chrono::steady_clock::now();
  for (int frame = 0; frame < frames; ++frame) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    if (batched) {
      glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, indices.data());
    } else {
      for (size_t q = 0; q < quads.size(); ++q)
        glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, &indices[q * 6]);
    }
    SDL_GL_SwapWindow(window);
    glFinish();
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  glDeleteTextures(1, &texture);
  glDeleteProgram(program);
  glDeleteShader(vs);
  glDeleteShader(fs);
  SDL_GL_MakeCurrent(window, previous);
  SDL_GL_DeleteContext(context);
  return frames / seconds;
}

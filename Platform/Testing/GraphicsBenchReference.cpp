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

uint32_t GfxBenchTexel(int texture, int x, int y) {
  return 0x80000000u | uint32_t(x * 2) << 16 | uint32_t(y * 2) << 8 | (texture == 0 ? 0x40u : 0xC0u);
}

struct CPlainGlQuads::SImpl {
  SDL_Window* window = nullptr;
  SDL_GLContext context = nullptr;
  SGfxBenchScene scene;
  GLuint program = 0, vs = 0, fs = 0;
  GLuint textures[2] = {};
  std::vector<SVertex> vertices;
  std::vector<uint16_t> indices;
  GLsync previousFrame = nullptr;

  void Prepare();
  void DrawFrame();
};

void CPlainGlQuads::SImpl::Prepare() {
  program = glCreateProgram();
  vs = Compile(GL_VERTEX_SHADER, kVertexSource);
  fs = Compile(GL_FRAGMENT_SHADER, kFragmentSource);
  glAttachShader(program, vs);
  glAttachShader(program, fs);
  glBindAttribLocation(program, 0, "position");
  glBindAttribLocation(program, 1, "colour");
  glBindAttribLocation(program, 2, "uv");
  glLinkProgram(program);
  glUseProgram(program);
  glUniform2f(glGetUniformLocation(program, "scale"), 2.0f / scene.width, 2.0f / scene.height);
  glUniform1i(glGetUniformLocation(program, "image"), 0);

  const int size = scene.size;
  std::vector<uint32_t> texels(static_cast<size_t>(size) * size);
  glGenTextures(scene.textures, textures);
  for (int t = 0; t < scene.textures; ++t) {
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) texels[static_cast<size_t>(y) * size + x] = GfxBenchTexel(t, x, y);
    glBindTexture(GL_TEXTURE_2D, textures[t]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, size, size, 0, GL_BGRA, GL_UNSIGNED_BYTE, texels.data());
  }
  for (const SGfxBenchQuad& q : scene.quads) {
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
  glViewport(0, 0, scene.width, scene.height);
}

void CPlainGlQuads::SImpl::DrawFrame() {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  for (size_t q = 0; q < scene.quads.size(); ++q) {
    glBindTexture(GL_TEXTURE_2D, textures[q % static_cast<size_t>(scene.textures)]);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_SHORT, &indices[q * 6]);
  }
  SDL_GL_SwapWindow(window);
  // The same pacing as the device: this frame is sent off, the one before it waited for.
  GLsync frame = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
  glFlush();
  if (previousFrame) {
    glClientWaitSync(previousFrame, 0, GL_TIMEOUT_IGNORED);
    glDeleteSync(previousFrame);
  }
  previousFrame = frame;
}

CPlainGlQuads* CPlainGlQuads::Create(PlatformWindowHandle handle, const SGfxBenchScene& scene) {
  auto* window = reinterpret_cast<SDL_Window*>(handle);
  SDL_GLContext previous = SDL_GL_GetCurrentContext();
  SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) return nullptr;
  auto* result = new CPlainGlQuads;
  result->m_impl = new SImpl;
  result->m_impl->window = window;
  result->m_impl->context = context;
  result->m_impl->scene = scene;
  result->m_impl->Prepare();
  SDL_GL_MakeCurrent(window, previous);
  return result;
}

double CPlainGlQuads::Run(int frames) {
  SDL_GLContext previous = SDL_GL_GetCurrentContext();
  SDL_GL_MakeCurrent(m_impl->window, m_impl->context);
  const auto start = std::chrono::steady_clock::now();
  for (int frame = 0; frame < frames; ++frame) m_impl->DrawFrame();
  glFinish();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  SDL_GL_MakeCurrent(m_impl->window, previous);
  return seconds;
}

CPlainGlQuads::~CPlainGlQuads() {
  SDL_GLContext previous = SDL_GL_GetCurrentContext();
  SDL_GL_MakeCurrent(m_impl->window, m_impl->context);
  if (m_impl->previousFrame) glDeleteSync(m_impl->previousFrame);
  glDeleteTextures(m_impl->scene.textures, m_impl->textures);
  glDeleteProgram(m_impl->program);
  glDeleteShader(m_impl->vs);
  glDeleteShader(m_impl->fs);
  SDL_GL_MakeCurrent(m_impl->window, previous);
  SDL_GL_DeleteContext(m_impl->context);
  delete m_impl;
}

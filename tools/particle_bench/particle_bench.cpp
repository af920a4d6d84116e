// particle_bench: the CPU cost of particles per frame, as the game pays it: the library's update
// of every live particle, then the batching of the emitter's lists into its atlas (corner
// conversion, alpha rule, six vertices a particle, a flush every 1,023 particles). Flushes
// reach no device here, so the figures are the CPU's share alone. Not a test: it prints the
// cost per frame and per 1,000 live particles for 1,000 to 20,000 particles.

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "Particles/MagicParticles.h"
#include "Src/World/Vey_MPAtlas.h"
#include "Src/World/Vey_MPEmitter.h"
#include "tools/ptctool/PtcText.h"

namespace {

constexpr int kFrames = 300;
constexpr double kFrameMs = 1000.0 / 60.0;

// An emitter that keeps `count` particles alive: one burst, long lives, each particle moving,
// spinning, growing and fading through its keys like the game's effects.
HM_EMITTER MakeEmitter(uint32_t count) {
  SPtcFile file;
  file.atlases.push_back({"Sprites.png", 128, 32, {{0, 0, 0.25f, 1}}});
  SPtcEmitter emitter;
  emitter.name = "Bench";
  emitter.loop = false;
  emitter.duration = 1000;
  SPtcLayer layer;
  layer.capacity = count;
  layer.burst = count;
  layer.shape = PtcFormat::kShapeBox;
  layer.shapeWidth = 1500;
  layer.shapeHeight = 800;
  layer.lifeMin = layer.lifeMax = 1000;
  layer.speedMin = 5;
  layer.speedMax = 40;
  layer.spread = 360;
  layer.gravityY = 2;
  layer.spinMin = -45;
  layer.spinMax = 45;
  layer.drag = 0.01f;
  layer.sizeKeys = {{0, 8}, {0.5f, 20}, {1, 4}};
  layer.colourKeys = {{0, {1, 0.8f, 0.4f, 0}}, {0.2f, {1, 0.8f, 0.4f, 1}}, {1, {1, 0.5f, 0.2f, 0}}};
  emitter.layers.push_back(layer);
  file.emitters.push_back(emitter);
  std::vector<uint8_t> bytes;
  std::string error;
  if (!ptctool::WritePtcFile(file, &bytes, &error)) {
    std::fprintf(stderr, "particle_bench: %s\n", error.c_str());
    return 0;
  }
  const HM_FILE opened = Magic_OpenFileInMemory(bytes.data(), bytes.size(), "Bench.ptc");
  const HM_EMITTER handle = Magic_LoadEmitter(opened, "Bench");
  Magic_CloseFile(opened);
  Magic_Update(handle, kFrameMs);  // the burst
  return handle;
}

struct SCost {
  double updateMs, batchMs;  // CPU per frame
};

double CpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

SCost Measure(uint32_t count) {
  const HM_EMITTER emitter = MakeEmitter(count);
  MP::CAtlas atlas(128, 32, nullptr);
  double update = 0, batch = 0;
  uint32_t drawn = 0;
  for (int frame = 0; frame < kFrames; ++frame) {
    const double start = CpuMs();
    Magic_Update(emitter, kFrameMs);
    const double updated = CpuMs();
    MAGIC_RENDERING list;
    if (Magic_CreateFirstRenderedParticlesList(emitter, &list) > 0)
      drawn = MP::DrawParticleLists(&list, &atlas, 0.8f, 0.5625f);
    batch += CpuMs() - updated;
    update += updated - start;
  }
  if (drawn != count) std::fprintf(stderr, "particle_bench: %u particles drawn of %u\n", drawn, count);
  Magic_DestroyAll();
  return {update / kFrames, batch / kFrames};
}

}  // namespace

int main(int argc, char**) {
  if (argc > 1) {
    std::puts("particle_bench: CPU cost per frame of updating and batching 1,000 to 20,000 particles.\n"
              "Usage: particle_bench (no arguments)");
    return 0;
  }
  std::printf("%8s %12s %12s %12s %16s\n", "live", "update ms", "batch ms", "total ms", "per 1000 (ms)");
  for (uint32_t count : {1000u, 2000u, 5000u, 10000u, 20000u}) {
    const SCost cost = Measure(count);
    const double total = cost.updateMs + cost.batchMs;
    std::printf("%8u %12.3f %12.3f %12.3f %16.3f\n", count, cost.updateMs, cost.batchMs, total,
                total * 1000.0 / count);
  }
  return 0;
}

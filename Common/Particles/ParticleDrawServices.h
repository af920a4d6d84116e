#pragma once
// Fills the particle code's draw, world-matrix and texture slots with the engine's draw
// layer and texture manager.

void InstallParticleDrawServices();

#pragma once
// Fills every slot the particle code reaches the engine through: the world matrix and the
// draws go to the engine's draw layer, textures come from the texture manager, the camera
// and the frustum tests are the current view camera's, and paths are evaluated as the
// Catmull-Rom curves of CSpline.

void InstallParticleDrawServices();

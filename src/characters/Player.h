#pragma once

#include "core/Entity.h"

// The person at the keyboard: walks tile by tile, talks to what it faces and
// keeps the camera on itself.
class Player : public Entity {
public:
    Player(int x, int y);

    void update() override;
    void centreCamera();
    // The pose a walking sheet shows `stepFrames` steps into a tile's walk:
    // 0 standing, 1 and 2 the two strides.
    static int walkPose(int stepFrames);

    bool interacting = false;
    bool moving = false;
    int stepFrames = 0;
    int direction = 1; // 0 up, 1 left, 2 down, 3 right
};

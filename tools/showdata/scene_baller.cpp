// The baller scene: four shiny balls bounce on the beat round a chrome core on a carousel,
// over a glowing floor (animation time 0 .. 300, ten seconds).
#include <cmath>
#include <string>

#include "tools/showdata/scenes.h"

namespace showdata {

namespace {

constexpr double kPi = 3.14159265358979323846;
// One beat of the music in animation time: 16 beats in the segment's 300 units.
constexpr double kBeat = kBallerLength / 16.0;
constexpr double kFloorY = -1.5;
constexpr double kBallRadius = 0.6;
constexpr double kBounceHeight = 2.0;  // apex above the resting height
constexpr int kKeyStep = 3;            // sampling of the bounce curves, in time units

// Height of a ball above its resting place at `time`: a parabola from floor to floor each
// beat, shifted by `phase` beats. 0 on the floor, 1 at the apex.
double Bounce(double time, double phase) {
    double p = std::fmod(time / kBeat + phase, 1.0);
    return 4 * p * (1 - p);
}

MaterialData Gloss(double r, double g, double b, const char* texture = "") {
    return {r, g, b, 1.0, 40.0, {0.9, 0.9, 0.9}, {0, 0, 0}, texture};
}

// Position and squash of one ball sampled along the bounce; a slow spin besides.
XAnimation BallMotion(const std::string& frame, Vec3 rest, double phase, Vec3 spinAxis) {
    XAnimation a;
    a.frame = frame;
    for (int t = 0; t <= kBallerLength; t += kKeyStep) {
        const double h = Bounce(t, phase);
        a.position.push_back({t, {rest.x, rest.y + kBounceHeight * h, rest.z}});
        // Squashed where it meets the floor, a little stretched on the way up and down.
        const double squash = h < 0.12 ? 1 - (0.12 - h) * 2.2 : 1 + 0.06 * (1 - std::fabs(2 * h - 1));
        const double wide = 1 / std::sqrt(squash);
        a.scale.push_back({t, {wide, squash, wide}});
    }
    a.rotation = SpinKeys(spinAxis, kBallerLength, 3);
    return a;
}

}  // namespace

XFileModel BallerModel() {
    XFileModel model;
    model.description = "Baller scene: shiny balls bouncing on a turning carousel round a chrome core.";
    model.animationSetName = "BallerMotion";

    XFrame floor;
    floor.name = "Floor";
    floor.mesh = MakeFloor(12.0, kFloorY, 7.0);
    floor.materials = {{1.0, 1.0, 1.0, 1.0, 0.0, {0, 0, 0}, {0, 0, 0}, "floor.bmp"}};
    model.frames.push_back(floor);

    // Fills the sky above the horizon; lit mostly by its own glow.
    XFrame sky;
    sky.name = "Sky";
    sky.mesh = MakeBackdrop(-14, 14, kFloorY, 10, 12);
    sky.materials = {{1.0, 1.0, 1.0, 1.0, 0.0, {0, 0, 0}, {0.7, 0.7, 0.7}, "sunset.bmp"}};
    model.frames.push_back(sky);

    XFrame carousel;
    carousel.name = "Carousel";
    XFrame core;
    core.name = "Core";
    core.position = {0, kFloorY + 1.1, 0};
    core.mesh = MakeSphere(1.1, 20, 12);
    core.materials = {{0.75, 0.78, 0.85, 1.0, 60.0, {1.0, 1.0, 1.0}, {0.05, 0.05, 0.1}, ""}};
    carousel.children.push_back(core);

    const MaterialData looks[4] = {Gloss(1.0, 1.0, 1.0, "ball.bmp"), Gloss(1.0, 0.75, 0.2), Gloss(0.25, 0.85, 1.0),
                                   Gloss(1.0, 0.3, 0.75)};
    const MeshData sphere = MakeSphere(kBallRadius, 18, 10);
    for (int i = 0; i < 4; ++i) {
        XFrame ball;
        ball.name = "Ball" + std::to_string(i + 1);
        const double angle = i * kPi / 2;
        ball.position = {2.9 * std::cos(angle), kFloorY + kBallRadius, 2.9 * std::sin(angle)};
        ball.mesh = sphere;
        ball.materials = {looks[i]};
        carousel.children.push_back(ball);
        // Neighbours land half a beat apart: two balls hit the floor on each beat, two between.
        model.animations.push_back(
            BallMotion(ball.name, ball.position, i * 0.5, {std::cos(angle + 1), 1.0, std::sin(angle + 1)}));
    }
    model.frames.push_back(carousel);

    XAnimation turn;
    turn.frame = "Carousel";
    turn.rotation = SpinKeys({0, 1, 0}, kBallerLength, 1);
    model.animations.push_back(turn);
    // The core swells on every beat.
    XAnimation pulse;
    pulse.frame = "Core";
    for (int beat = 0; beat <= 16; ++beat) {
        const int at = static_cast<int>(std::lround(beat * kBeat));
        pulse.scale.push_back({at, {1.1, 1.1, 1.1}});
        if (beat < 16) pulse.scale.push_back({at + 6, {1, 1, 1}});
    }
    model.animations.push_back(pulse);
    return model;
}

}  // namespace showdata

// The third scene: a tiled cube tumbling over a floor while two moons circle it, all on a
// slowly turning stage (animation time 0 .. 600, played four times as fast as the clock).
#include <cmath>

#include "tools/showdata/scenes.h"

namespace showdata {

namespace {

constexpr double kPi = 3.14159265358979323846;

MaterialData Textured(const char* texture, double power) {
    return {1.0, 1.0, 1.0, 1.0, power, {0.5, 0.5, 0.5}, {0, 0, 0}, texture};
}

}  // namespace

XFileModel StageModel() {
    XFileModel model;
    model.description = "Third scene: a tiled cube tumbling with two moons circling it, on a turning stage.";
    model.animationSetName = "StageMotion";

    XFrame stage;
    stage.name = "Stage";
    XFrame floor;
    floor.name = "StageFloor";
    floor.mesh = MakeFloor(12.0, -2.0, 6.0);
    floor.materials = {Textured("floor.bmp", 0)};
    stage.children.push_back(floor);

    XFrame cube;
    cube.name = "Cube";
    cube.mesh = MakeCube(1.0);
    cube.materials = {Textured("tiles.bmp", 16)};
    stage.children.push_back(cube);

    XFrame orbit;
    orbit.name = "Orbit";
    const MeshData moonMesh = MakeSphere(0.45, 16, 10);
    const char* names[2] = {"MoonA", "MoonB"};
    for (int i = 0; i < 2; ++i) {
        XFrame moon;
        moon.name = names[i];
        moon.position = {i == 0 ? 2.6 : -2.6, 0, 0};
        moon.mesh = moonMesh;
        moon.materials = {Textured("moon.bmp", 24)};
        orbit.children.push_back(moon);
    }
    stage.children.push_back(orbit);
    model.frames.push_back(stage);

    XAnimation turn;
    turn.frame = "Stage";
    turn.rotation = SpinKeys({0, 1, 0}, kStageLength, 1);
    model.animations.push_back(turn);

    XAnimation tumble;
    tumble.frame = "Cube";
    tumble.rotation = SpinKeys({1.0, 1.0, 0.3}, kStageLength, 2);
    for (int k = 0; k <= 8; ++k)  // bobbing up and down twice a turn
        tumble.position.push_back({k * kStageLength / 8, {0, 0.35 * std::sin(k * kPi / 2), 0}});
    model.animations.push_back(tumble);

    XAnimation circle;
    circle.frame = "Orbit";
    circle.rotation = SpinKeys({0.25, 1.0, 0.0}, kStageLength, 3);
    model.animations.push_back(circle);

    for (int i = 0; i < 2; ++i) {
        XAnimation moon;
        moon.frame = names[i];
        moon.rotation = SpinKeys({0, 1, 0.2}, kStageLength, 4);
        for (int k = 0; k <= 12; ++k) {  // the moons breathe in turn
            const double s = 1 + 0.25 * std::sin(k * kPi / 3 + i * kPi);
            moon.scale.push_back({k * kStageLength / 12, {s, s, s}});
        }
        moon.position = {{0, {i == 0 ? 2.6 : -2.6, 0, 0}},
                         {kStageLength / 2, {i == 0 ? 3.2 : -3.2, 0, 0}},
                         {kStageLength, {i == 0 ? 2.6 : -2.6, 0, 0}}};
        model.animations.push_back(moon);
    }
    return model;
}

}  // namespace showdata

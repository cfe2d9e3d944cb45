// The robot's display lists, built once at scene build.
#pragma once

void BuildRobotLists();

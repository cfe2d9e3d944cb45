#include "robot/robot_model.h"

void BuildRobotLists() {}

// The time each check of untrusted bytes takes over hostile files of 64 KB.
#pragma once

void PrintHeaderTimes();

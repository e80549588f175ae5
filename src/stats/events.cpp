// PLACEHOLDER: an empty skeleton so the tree links while it is being written.
#include "stats/events.h"

void onGotKill(const char*, char*) {}
void onGotBash(const char*, char*) {}
void onKilled(const char*, char*) {}
void onKilledSelf(const char*, char*) {}
void onBashed(const char*, char*) {}
void onMapChange(const char*, char*) {}
void findHitLocation(bool, const char*) {}
void onHeadshot(bool) {}
void onTorsoHit(bool) {}
void onPelvisHit(bool) {}
void onRightArmHit(bool) {}
void onLeftArmHit(bool) {}
void onRightLegHit(bool) {}
void onLeftLegHit(bool) {}

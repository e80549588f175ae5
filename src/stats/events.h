// Kill, death, map and hit-location handlers.
#pragma once

void onGotKill(const char* match, char* line);
void onGotBash(const char* match, char* line);
void onKilled(const char* match, char* line);
void onKilledSelf(const char* match, char* line);
void onBashed(const char* match, char* line);
void onMapChange(const char* match, char* line);

void findHitLocation(bool isDeath, const char* line);
void onHeadshot(bool isDeath);
void onTorsoHit(bool isDeath);
void onPelvisHit(bool isDeath);
void onRightArmHit(bool isDeath);
void onLeftArmHit(bool isDeath);
void onRightLegHit(bool isDeath);
void onLeftLegHit(bool isDeath);

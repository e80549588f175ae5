// Kill, death, map and hit-location handlers.
#pragma once

// The in-game menus the handlers show ("showmenu <name>"): the six spree
// milestones, the bash kill and the head kill. The game-side menus and
// hidevorbixui.cfg are checked against these names.
enum EventMenu {
    kMenuKillingspree,
    kMenuRampage,
    kMenuDominating,
    kMenuUnstoppable,
    kMenuGodlike,
    kMenuHolyshit,
    kMenuBash,
    kMenuHeadshot,
    kEventMenuCount
};
extern const char* const kEventMenuNames[kEventMenuCount];

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

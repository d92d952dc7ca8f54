// Between the page's start-up (web_main.cpp) and its toolkit services (platform_web.cpp): the page
// hears of a game over once, and of the next game's once again.
#pragma once

// Called as another game starts, so that its end is told to the page like the first game's.
void ListenForNextGameOver();

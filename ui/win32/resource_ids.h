#pragma once

// The program's resources (app/tavrix.rc): the pictures are the files in res/.
#define TAVRIX_PROGRAM_ICON 1
#define TAVRIX_CHAT_PICTURE 2
#define TAVRIX_HAND_CURSOR 3

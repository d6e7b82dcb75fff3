// Every text the presentation shows, in one place so that they read together. Each table keeps
// the exact lengths the scenes' layouts were made for (spaces count).
#pragma once

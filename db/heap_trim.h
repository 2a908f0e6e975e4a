#pragma once
// Gives the memory the C library holds freed back to the system. After a large result is let
// go, the freed pages would otherwise stay with the program, fragmented among small blocks
// still in use, and on the heap of a thread that has ended.
void GiveFreedMemoryBack();
// The same once the event loop is back, when whatever held the result is gone too; at once
// where there is no event loop.
void GiveFreedMemoryBackSoon();

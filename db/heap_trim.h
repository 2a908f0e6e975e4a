#pragma once
// Gives the memory the C library holds freed back to the system, once the event loop is back
// (when whatever held a large result is gone too), or at once where there is no event loop.
// After a large result is let go, the freed pages would otherwise stay with the program,
// fragmented among the small blocks still in use.
void GiveFreedMemoryBackSoon();

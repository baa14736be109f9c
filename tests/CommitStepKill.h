#pragma once

// The process kills itself (SIGKILL) on entering its step-th rename or link
// from now on, as a power cut or a crash would stop it between two steps of
// a commit; 0 disarms. CommitStepKill.cpp, linked into a test program, stands
// in for those calls and counts them.
void KillAtCommitStep(int step);

// While set, a rename that would swap two names in one step fails as on a
// file system that cannot, so the commits take their two-step way.
void RefuseRenameSwaps(bool refuse);

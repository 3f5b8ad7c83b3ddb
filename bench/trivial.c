/* The cost of starting a process and nothing else: the yardstick of the
   whole-process comparison in tools/bench.sh. */
int main(void) { return 0; }

/* The whole code of the small Windows images the file version tests read: an entry point that
   returns. The images are linked without any runtime so that they stay a few KB. */
int entry(void) { return 0; }


     ld e1 
     out v02 
























BINARY-----
00  06 00 
02  0B 0F 


     ld e1 

     end 























BINARY-----
00  06 00 
02  0F 

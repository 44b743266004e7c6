
     ld e1 
     out s1 

     end 























BINARY-----
00  06 00 
02  0B 08 
04  0F 

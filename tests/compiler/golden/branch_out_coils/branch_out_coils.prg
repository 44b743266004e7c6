
     ld e1 
     out s3 
     out s2 
     out s1 

     end 























BINARY-----
00  06 00 
02  0B 0A 
04  0B 09 
06  0B 08 
08  0F 

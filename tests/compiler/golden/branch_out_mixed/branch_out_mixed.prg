
     ld e1 
     cs 
     out s3 
     out s1 
     ld e2 
     out s2 
     cr 

     end 























BINARY-----
00  06 00 
02  04 
03  0B 0A 
05  0B 08 
07  06 01 
09  0B 09 
0B  03 
0C  0F 

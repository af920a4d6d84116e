print("start")
